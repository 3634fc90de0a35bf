#!/usr/bin/env bash
# The window as a user meets it, first on a bare X server, then under a window manager
# (openbox): message boxes centred on the screen, Qt's dialogs in Japanese with the last
# choice in full in the name field, a click in a list scrolled to its end that reorders
# nothing, and a drag let go of (or cancelled with Esc) over the title bar that returns the
# entry to the top of its list. The order of the list is read back from the saved list.
#
#   tests/e2e/window_manager.sh build/corvane [SCREENSHOT_DIR]

# The lists are read back over the accessibility bus, in a D-Bus session of the script's own.
if [[ -z ${CORVANE_E2E_SESSION:-} ]]; then
  CORVANE_E2E_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
start_accessibility_bus

# expect_list_over_bus ACCESSIBLE_NAME WHAT ENTRY...: the list holds exactly these entries.
expect_list_over_bus() {
  local name=$1 what=$2 seen
  shift 2
  seen=$(/usr/bin/python3 "$(dirname "$0")/list_entries.py" "$(basename "$CORVANE")" "$name") ||
    die "cannot read $name over the accessibility bus"
  if [[ $seen == "$(printf '%s\n' "$@")" ]]; then
    log "ok: $what (read over the accessibility bus)"
  else
    fail "$what: the list over the accessibility bus is $(tr '\n' ' ' <<<"$seen")"
  fi
}

SCREEN_W=800
SCREEN_H=600

# expect_centred WINDOW WHAT: the window's outer frame is centred on the screen within a
# pixel. It may still be settling (a frame arrives after the window is mapped).
expect_centred() {
  local deadline=$((SECONDS + 10)) x y width height dx dy
  while :; do
    read -r x y width height < <(outer_geometry "$1")
    # Twice the distance between the centres, so that half pixels stay whole.
    dx=$((2 * x + width - SCREEN_W)) dy=$((2 * y + height - SCREEN_H))
    if ((dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2)); then
      log "ok: $2 centred: outer ${width}x$height at ($x, $y)"
      return 0
    fi
    if ((SECONDS >= deadline)); then
      fail "$2: outer ${width}x$height at ($x, $y), centre off by ($((dx / 2)), $((dy / 2)))"
      return 0
    fi
    sleep 0.2
  done
}

# error_box_centred: a letter typed into the menu width field brings up the error report.
error_box_centred() {
  click_tab 1
  press "$EDIT2"
  key End
  type_text x
  expect_dialog "^$APP_TITLE\$"
  expect_centred "$DIALOG" "the error report ($1)"
  shot "$1-error-box"
  close_dialog_with_return
  key BackSpace
  click_tab 0
}

site=$WORK/site
mkdir -p "$site"
names=()
for i in $(seq -w 0 29); do
  names+=("f$i.txt")
  printf 'line %s\r\n' "$i" >"$site/f$i.txt"
done

preload_keys 頁

### Without a window manager: a short site, its message box and an error box.
log "without a window manager"
start_corvane "$site"
SHOT_PREFIX=bare- choose_files "$site" f00.txt f01.txt
add_heading A
press "$BUTTON10"
press "$BUTTON3"
expect_dialog "^$APP_TITLE\$"
expect_centred "$DIALOG" "the information box (no window manager)"
shot bare-info-box
close_dialog_with_return
error_box_centred bare
quit_corvane

### Under openbox.
start_window_manager
log "under openbox"
start_corvane "$site"
shot wm-start

# All thirty files, typed as names of the folder the dialog opens in (the start folder).
quoted=""
for name in "${names[@]}"; do quoted+="\"$name\" "; done
press "$BUTTON1"
expect_dialog "^$OPEN_DIALOG_TITLE\$"
type_text "${quoted% }"
close_dialog_with_return

# The second opening shows the first file chosen, in full, in the Japanese dialog.
press "$BUTTON1"
expect_dialog "^$OPEN_DIALOG_TITLE\$"
shot wm-file-dialog-japanese
key Escape
wait_no_new_window

add_heading 頁
press "$BUTTON10"
expected=("-----頁-----" "${names[@]}")  # the output list as it must stay

# Scroll the output list to its end with the wheel: 31 entries, top index 9.
read -r wx wy < <(list_row_point "$LISTBOX2" 10)
xdotool mousemove "$wx" "$wy"
for _ in $(seq 1 15); do xdotool click 5; sleep 0.05; done
sleep 0.3
shot wm-scrolled-to-end
TOP=9

# A click on the sixth visible row: nothing moves.
read -r cx cy < <(list_row_point "$LISTBOX2" 5)
click_at "$cx" "$cy"
shot wm-after-click
expect_list_over_bus 出力ファイルリスト "the output list after a click on its last page" "${expected[@]}"

# drag_to_title_bar ROW END: presses on a visible row of the output list, moves right off
# the lists (so that no step can rest on a list's scrolling rows), then up onto the title
# bar, and ends there by "release" or "escape".
read -r l r t b < <(frame_extents "$MAIN_WIN")
((t > 0)) || die "the window has no title bar"
read -r ox oy _ _ < <(outer_geometry "$MAIN_WIN")
title_y=$((oy + t / 2))
drag_to_title_bar() {
  local sx sy i side_x
  read -r sx sy < <(list_row_point "$LISTBOX2" "$1")
  side_x=$((PAGE_X + 560))
  xdotool mousemove "$sx" "$sy"
  sleep 0.2
  xdotool mousedown 1
  sleep 0.2
  for i in 1 2 3 4 5; do
    xdotool mousemove "$((sx + (side_x - sx) * i / 5))" "$sy"
    sleep 0.05
  done
  for i in 1 2 3 4 5; do
    xdotool mousemove "$side_x" "$((sy + (title_y - sy) * i / 5))"
    sleep 0.05
  done
  sleep 0.2
  [[ $2 == escape ]] && key Escape
  xdotool mouseup 1
  sleep 0.4
}
# move_to_top FROM_ROW: what the list must look like once the entry on that visible row
# came back at the top index.
move_to_top() {
  local moved=${expected[TOP + $1]}
  expected=("${expected[@]:0:TOP+$1}" "${expected[@]:TOP+$1+1}")
  expected=("${expected[@]:0:TOP}" "$moved" "${expected[@]:TOP}")
}

# Let go over the title bar: the entry on the third visible row goes to the top index.
drag_to_title_bar 2 release
shot wm-released-over-title-bar
move_to_top 2
# Esc over the title bar: the same, for the fifth visible row.
drag_to_title_bar 4 escape
shot wm-escape-over-title-bar
move_to_top 4

expect_list_over_bus 出力ファイルリスト "the output list after the drags over the title bar" "${expected[@]}"

# Creating the site writes the list as it stands; its message box is centred too.
press "$BUTTON3"
expect_dialog "^$APP_TITLE\$"
expect_centred "$DIALOG" "the information box (openbox)"
shot wm-info-box
close_dialog_with_return
error_box_centred wm
quit_corvane

printf '%s\n' "${expected[@]}" | sjis_lines "$WORK/expected.cvn"
expect_bytes "$site/files.cvn" "$WORK/expected.cvn"

e2e_finish
