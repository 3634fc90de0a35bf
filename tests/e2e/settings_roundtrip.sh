#!/usr/bin/env bash
# The settings tabs in the real window: a colour, the menu width, the image size and the
# menu side changed and saved, a working directory chosen and saved, the settings file
# compared byte for byte; then a restart shows the values again and a site made with them
# uses them. Last, a start with a settings file written by hand.
#
#   tests/e2e/settings_roundtrip.sh build/corvane [SCREENSHOT_DIR]

source "$(dirname "$0")/lib.sh"
e2e_init "$@"

start_dir=$WORK/start
workdir=$WORK/"作業 dir"  # the working directory: Japanese and a blank in its name
handmade=$WORK/handmade
expected=$WORK/expected
mkdir -p "$start_dir" "$workdir" "$handmade" "$expected"

# swatch "left top width height": clicks the middle of a palette swatch inside Panel1.
swatch() {
  local panel_left panel_top left top width height
  read -r panel_left panel_top _ <<<"$PANEL1"
  read -r left top width height <<<"$1"
  click_page "$((panel_left + left + width / 2))" "$((panel_top + top + height / 2))"
}

# choose_target N: picks the Nth colour target in the drop-down list, as a user does with
# the keyboard once the list is open.
choose_target() {
  local i
  press "$COMBOBOX1"
  wait_new_window >/dev/null || exit 1
  sleep 0.3  # the open list takes the keyboard
  for ((i = 0; i < $1; i++)); do key Down; done
  key Return
  wait_no_new_window
}

# The preview swatch's fill, read in its middle.
expect_preview() {
  local point
  point=$(control_centre "$SHAPE1")
  # shellcheck disable=SC2086
  expect_pixel $point "$1" "$2"
}

# settings_file FILE VALUE...: the fourteen lines of a settings file.
settings_file() {
  local file=$1
  shift
  printf '%s\n' "$@" | sjis_lines "$file"
}

preload_keys "$workdir" 設定

### First start in an empty folder: the defaults are written.
start_corvane "$start_dir"
settings_file "$expected/defaults.INI" white black green green green white black green green green \
  R 200 600 "$start_dir"
expect_bytes "$start_dir/corvane.INI" "$expected/defaults.INI"

click_tab 1
shot defaults-tab2
expect_preview "#FFFFFF" "preview of メニュー（文字） by default"

# Menu background: black by default, then navy from the palette.
choose_target 1
shot target-menu-background
expect_preview "#000000" "preview of メニュー（バック） by default"
swatch "$SWATCH_NAVY"
shot navy-pressed
expect_preview "#000080" "preview after the navy swatch"

# Menu width: the field's text selected and typed over.
press "$EDIT2"
focus_main
key ctrl+a
type_text 350
# Image size: one step up from 600 with the upper arrow of UpDown2 (its upper half).
read -r left top width height <<<"$UPDOWN2"
click_page "$((left + width / 2))" "$((top + height / 4))"
# Menu side: L, the first of the two radio buttons, below the group's caption on the left.
read -r left top width height <<<"$RADIOGROUP1"
click_page "$((left + 14))" "$((top + height - 10))"
shot tab2-edited

press "$BUTTON5"
settings_file "$expected/saved.INI" white navy green green green white black green green green \
  L 350 601 "$start_dir"
expect_bytes_soon "$start_dir/corvane.INI" "$expected/saved.INI"

### Working directory: the dialog's name field says "dir"; it is typed over with the
### folder's path followed by /dir, and the program keeps the folder.
click_tab 2
shot tab3-before
press "$BUTTON6"
expect_dialog "^$OPEN_DIALOG_TITLE\$"
key ctrl+a
type_text "$workdir/dir"
shot workdir-dialog
close_dialog_with_return
shot tab3-workdir-chosen
press "$BUTTON7"
settings_file "$expected/final.INI" white navy green green green white black green green green \
  L 350 601 "$workdir"
expect_bytes_soon "$start_dir/corvane.INI" "$expected/final.INI"

# The input directory followed the working directory, which offers HTML作成.
click_tab 0
shot tab1-input-directory
expect_shown "$BUTTON3" "HTML作成 after a working directory was chosen"

quit_corvane
expect_bytes "$start_dir/corvane.INI" "$expected/final.INI"

### Restart: the saved values are back.
start_corvane "$start_dir"
click_tab 1
shot restart-tab2
expect_preview "#FFFFFF" "preview of メニュー（文字） after the restart"
choose_target 1
shot restart-menu-background
expect_preview "#000080" "preview of メニュー（バック） after the restart"
click_tab 2
shot restart-tab3

# A site made now uses them. (The file dialog opens in the working directory: its
# screenshot shows it.)
convert -size 800x600 xc:skyblue "$workdir/a.jpg"
click_tab 0
choose_files "$workdir" a.jpg
press "$BUTTON10"
add_heading 設定
drag_row "$LISTBOX2" 1 "$LISTBOX2" 0
shot restart-composed
generate
quit_corvane
expect_bytes "$start_dir/corvane.INI" "$expected/final.INI"

page_lines "$expected/CASE.HTM" <<'EOF'
<html>
<head>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<META NAME="GENERATOR" CONTENT="Corvane ver 1.2">
</head>
<FRAMESET COLS="350,*">
<FRAME SRC="MENU.HTM" NAME="MENU">
<FRAME SRC="BLANK.HTM" NAME="DATA">
</FRAMESET>
<body text="#FFFFFF" bgcolor="#000000" link="#FFFF00" vlink="#C0C0C0" alink="#C0FFC0">
&nbsp;
</body>
</html>
EOF
page_lines "$expected/MENU.htm" <<'EOF'
<html>
<head>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<META NAME="GENERATOR" CONTENT="Corvane ver 1.2">
</head>
<body text="white" bgcolor="navy" link="green" vlink="green" alink="green">
<A HREF="1.htm"TARGET="DATA">設定</A><BR>
</body>
</html>
EOF
# 601 / 800 * 600 = 450.75, cut to 450.
page_lines "$expected/1.htm" <<'EOF'
<html>
<head>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<META NAME="GENERATOR" CONTENT="Corvane ver 1.2">
</head>
<body text="white" bgcolor="black" link="green" vlink="green" alink="green">
<IMG SRC="a.jpg" WIDTH="601" HEIGHT="450"><BR>
</body>
</html>
EOF
for file in CASE.HTM MENU.htm 1.htm; do
  expect_bytes "$workdir/$file" "$expected/$file"
done

### A settings file written by hand: navy menu background, width 350, menu on the left.
settings_file "$handmade/corvane.INI" white navy green green green white black green green green \
  L 350 600 "$handmade"
cp "$handmade/corvane.INI" "$expected/handmade.INI"
start_corvane "$handmade"
click_tab 1
shot handwritten-settings-tab2
expect_preview "#FFFFFF" "preview of メニュー（文字） from the hand-written file"
choose_target 1
shot handwritten-menu-background
expect_preview "#000080" "preview of メニュー（バック） from the hand-written file"
click_tab 2
shot handwritten-settings-tab3
quit_corvane
expect_bytes "$handmade/corvane.INI" "$expected/handmade.INI"

e2e_finish
