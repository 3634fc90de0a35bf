# Helpers shared by the real-window scripts, sourced by each of them.
#
# Every script gets its own X server (Xvfb picks a free display itself, so scripts can run
# side by side), starts the program in folders of its own, drives it with xdotool at the
# window's own control coordinates, takes a screenshot at every stage and compares the
# files the program wrote byte for byte. No window manager runs unless a script starts one
# (start_window_manager): the program centres its
# window itself and dialogs take the keyboard focus when they open.

set -euo pipefail

# Control geometry, "left top width height" within the control's tab page (the window's
# own controls: within the window), read from the window's geometry table by a small test
# program: BUTTON1, LISTBOX2, ..., SWATCH_NAVY, ..., WINDOW_WIDTH, WINDOW_HEIGHT, TAB_WIDTH,
# LIST_ROW_HEIGHT, LIST_EDGE. The test
# build tells where it is; by hand it is found beside the program.
control_geometry() {
  local program=${CORVANE_GEOMETRY:-$(dirname "$(readlink -f "$1")")/tests/control_geometry}
  [[ -x $program ]] || die "no geometry table program at $program (set CORVANE_GEOMETRY)"
  "$program"
}
# Qt's file dialogs speak Japanese whatever the locale: their title is "Open" translated.
OPEN_DIALOG_TITLE=開く

FAILURES=0
SHOT_COUNT=0
XVFB_PID=""
CORVANE_PID=""
MAIN_WIN=""

log() { printf '[%s] %s\n' "$(basename "$0" .sh)" "$*"; }

die() {
  printf '[%s] FAILED: %s\n' "$(basename "$0" .sh)" "$*" >&2
  exit 1
}

# e2e_init CORVANE [SCREENSHOT_DIR]: checks the arguments, makes the scratch folders and
# starts the X server.
e2e_init() {
  if [[ $# -lt 1 || ! -x "$1" ]]; then
    echo "usage: $0 PATH/TO/corvane [SCREENSHOT_DIR]" >&2
    exit 2
  fi
  for tool in Xvfb xdotool xwininfo xkbcomp import convert iconv cmp perl; do
    command -v "$tool" >/dev/null || die "$tool is not installed"
  done
  CORVANE=$(readlink -f "$1")
  eval "$(control_geometry "$CORVANE")"
  # Message boxes carry the executable's name, cut at its first dot, all but its first
  # character in lower case.
  local name rest
  name=$(basename "$CORVANE")
  name=${name%%.*}
  rest=${name:1}
  APP_TITLE=${name:0:1}${rest,,}
  name=$(basename "$0" .sh)
  WORK=$(mktemp -d "${TMPDIR:-/tmp}/corvane-$name.XXXXXX")
  if [[ -n ${2:-} ]]; then
    mkdir -p "$2"
    SHOTS=$(cd "$2" && pwd)
  else
    SHOTS=$(mktemp -d "${TMPDIR:-/tmp}/corvane-$name-shots.XXXXXX")
  fi
  # Screenshots of an earlier run in the same folder would mix with this run's.
  rm -f "$SHOTS"/[0-9][0-9]-*.png "$SHOTS"/zz-*.png
  trap e2e_cleanup EXIT
  trap 'exit 130' INT TERM

  # xdotool decodes the text it types by the locale; Japanese needs a UTF-8 one.
  export LC_ALL=C.UTF-8
  # Keep the file dialog's remembered state and the runtime folder out of the user's home.
  export XDG_CONFIG_HOME=$WORK/config XDG_RUNTIME_DIR=$WORK/runtime
  mkdir -p "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
  export QT_QPA_PLATFORM=xcb
  unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_STYLE_OVERRIDE QT_FONT_DPI
  # A sanitized build reports a leak inside the system's D-Bus library that Qt's X11
  # platform touches; it is not ours and must not fail the run.
  printf 'leak:libdbus-1.so\n' >"$WORK/lsan.supp"
  export LSAN_OPTIONS="suppressions=$WORK/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

  start_x
  log "screenshots go to $SHOTS"
}

# Starts the accessibility bus in the script's own D-Bus session (the script re-executed itself
# under dbus-run-session first) and has Qt publish the window on it.
start_accessibility_bus() {
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$WORK/at-spi.log" 2>&1 &
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

start_x() {
  local fdfile=$WORK/display
  : >"$fdfile"
  Xvfb -displayfd 3 -screen 0 800x600x24 -noreset -nolisten tcp 3>"$fdfile" \
    >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  local deadline=$((SECONDS + 20))
  while [[ ! -s $fdfile ]]; do
    kill -0 "$XVFB_PID" 2>/dev/null || { cat "$WORK/xvfb.log" >&2; die "Xvfb did not start"; }
    ((SECONDS < deadline)) || die "Xvfb did not report its display"
    sleep 0.1
  done
  DISPLAY=":$(head -n1 "$fdfile")"
  export DISPLAY
  until xdpyinfo >/dev/null 2>&1 || xwininfo -root >/dev/null 2>&1; do
    ((SECONDS < deadline)) || die "display $DISPLAY does not answer"
    sleep 0.1
  done
}

e2e_cleanup() {
  local status=$?
  set +e
  if ((status != 0)) && [[ -n $XVFB_PID ]] && kill -0 "$XVFB_PID" 2>/dev/null; then
    import -window root "$SHOTS/zz-at-failure.png" 2>/dev/null &&
      echo "screen at the failure: $SHOTS/zz-at-failure.png" >&2
  fi
  if [[ -n $CORVANE_PID ]] && kill -0 "$CORVANE_PID" 2>/dev/null; then
    kill "$CORVANE_PID" 2>/dev/null
    wait "$CORVANE_PID" 2>/dev/null
  fi
  if ((status != 0)) && [[ -s ${WORK:-}/corvane.log ]]; then
    echo "--- program output:" >&2
    tail -n 40 "$WORK/corvane.log" >&2
  fi
  if [[ -n $XVFB_PID ]]; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
  fi
  if [[ -n ${WORK:-} && -z ${E2E_KEEP:-} ]]; then
    rm -rf "$WORK"
  elif [[ -n ${WORK:-} ]]; then
    echo "scratch folders kept in $WORK" >&2
  fi
  exit "$status"
}

# Screenshots, numbered in the order they were taken.
shot() {
  SHOT_COUNT=$((SHOT_COUNT + 1))
  local file
  file=$(printf '%s/%02d-%s.png' "$SHOTS" "$SHOT_COUNT" "$1")
  sleep 0.3  # let the last repaint reach the server
  import -window root "$file"
}

# frame_extents WINDOW: "left right top bottom" of the frame a window manager put round
# the window; all 0 without one.
frame_extents() {
  local extents
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/^.*= *//p' | tr -d ',')
  echo "${extents:-0 0 0 0}"
}

# client_geometry WINDOW: "x y width height" of the window's client area on the screen
# (xdotool's own position counts a window manager's title bar twice).
client_geometry() {
  xwininfo -id "$1" | awk -F: '
    /Absolute upper-left X/ { x = $2 } /Absolute upper-left Y/ { y = $2 }
    /^ *Width/ { w = $2 } /^ *Height/ { h = $2 } END { print x + 0, y + 0, w + 0, h + 0 }'
}

# outer_geometry WINDOW: "x y width height" of the window with its frame, on the screen.
outer_geometry() {
  local x y width height left right top bottom
  read -r x y width height < <(client_geometry "$1")
  read -r left right top bottom < <(frame_extents "$1")
  echo "$((x - left)) $((y - top)) $((width + left + right)) $((height + top + bottom))"
}

# start_window_manager: a light window manager (openbox) on the display, with title bars
# and borders round every window from now on.
start_window_manager() {
  command -v openbox >/dev/null || die "openbox is not installed"
  openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
  local deadline=$((SECONDS + 20))
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    ((SECONDS < deadline)) || die "the window manager did not start"
    sleep 0.1
  done
  WINDOW_MANAGER=openbox
}

# Visible top-level windows, one id a line.
visible_windows() {
  if [[ -n ${WINDOW_MANAGER:-} ]]; then
    # The frames the window manager puts round windows carry no name: not ours.
    xdotool search --onlyvisible --name '.' 2>/dev/null | sort || true
  else
    xdotool search --onlyvisible --name '' 2>/dev/null | sort || true
  fi
}

# preload_keys TEXT...: gives every non-ASCII character of the texts a key of its own in
# the server's keymap, before the program starts. Otherwise xdotool borrows one spare key
# for them all, remapping it for every character, and the program may read a key press
# with the mapping meant for the next character (旅行 arriving as 行行).
preload_keys() {
  local keysyms
  keysyms=$(perl -CSA -e 'my %seen; $seen{$_} = 1 for grep { ord($_) > 126 } map { split // } @ARGV;
    printf "U%04X\n", ord($_) for sort keys %seen' "$@")
  [[ -n $keysyms ]] || return 0
  local map=$WORK/keymap.xkb
  xkbcomp -xkb "$DISPLAY" "$map" 2>>"$WORK/xkbcomp.log" || die "cannot read the keymap"
  # Free keys: named in the keycodes section, given no symbols, not the target of an alias.
  local free
  free=$(awk '
    /^xkb_keycodes/ { section = "codes" } /^xkb_symbols/ { section = "symbols" } /^};/ { section = "" }
    section == "codes" && match($0, /^ *<[A-Z0-9]+> *= *[0-9]+;/) {
      name = $0; sub(/^ *</, "", name); sub(/>.*/, "", name); named[name] = 1
    }
    section == "codes" && /alias/ { target = $0; sub(/.*= *</, "", target); sub(/>.*/, "", target); aliased[target] = 1 }
    section == "symbols" && match($0, /key +<[A-Z0-9]+>/) {
      name = substr($0, RSTART, RLENGTH); sub(/key +</, "", name); sub(/>/, "", name); used[name] = 1
    }
    END { for (n in named) if (n ~ /^I[0-9]+$/ && !(n in used) && !(n in aliased)) print n }
  ' "$map" | sort)
  local wanted have
  wanted=$(wc -l <<<"$keysyms")
  have=$(grep -c . <<<"$free" || true)
  # Keep one free key for xdotool's own use.
  ((have > wanted)) || die "the keymap has $have free keys, $wanted characters need one each"
  paste -d' ' <(head -n "$wanted" <<<"$free") <(echo "$keysyms") >"$WORK/keys.txt"
  awk -v keys="$WORK/keys.txt" '
    /^xkb_symbols/ { symbols = 1 }
    symbols && /^};/ {
      while ((getline line < keys) > 0) {
        split(line, part, " "); printf "    key <%s> { [ %s ] };\n", part[1], part[2]
      }
      symbols = 0
    }
    { print }
  ' "$map" >"$map.new"
  xkbcomp "$map.new" "$DISPLAY" 2>>"$WORK/xkbcomp.log" || die "cannot load the keymap"
}

# start_corvane FOLDER: runs the program with FOLDER as its current directory (so its
# settings file lives there), waits for the window to settle in its centred place and
# finds where the tab pages lie on the screen.
start_corvane() {
  local folder=$1
  [[ -z $CORVANE_PID ]] || die "the program is already running"
  (cd "$folder" && exec "$CORVANE") >>"$WORK/corvane.log" 2>&1 &
  CORVANE_PID=$!
  MAIN_WIN=""
  local deadline=$((SECONDS + 30))
  while [[ -z $MAIN_WIN ]]; do
    kill -0 "$CORVANE_PID" 2>/dev/null || die "the program ended at start-up"
    ((SECONDS < deadline)) || die "the main window did not appear"
    MAIN_WIN=$(xdotool search --onlyvisible --name '^Corvane$' 2>/dev/null | head -n1 || true)
    [[ -n $MAIN_WIN ]] || sleep 0.1
  done
  # The program moves the window to the centre right after showing it: wait until the
  # geometry is the same on three looks in a row.
  local last="" same=0 geometry
  while ((same < 3)); do
    ((SECONDS < deadline)) || die "the main window does not settle"
    sleep 0.1
    geometry=$(xdotool getwindowgeometry --shell "$MAIN_WIN" | grep -E '^(X|Y|WIDTH|HEIGHT)=' | tr '\n' ' ')
    if [[ $geometry == "$last" ]]; then same=$((same + 1)); else same=0; last=$geometry; fi
  done
  local width height left right top bottom
  # The program fits its client to a frame that arrives after the window is mapped: on a
  # slow start (a desktop theme loading, a loaded machine) that can be a while.
  local late=""
  while :; do
    read -r WIN_X WIN_Y width height < <(client_geometry "$MAIN_WIN")
    read -r left right top bottom < <(frame_extents "$MAIN_WIN")
    width=$((width + left + right)) height=$((height + top + bottom))
    [[ "$width x $height" != "$WINDOW_WIDTH x $WINDOW_HEIGHT" ]] || break
    ((SECONDS < deadline)) ||
      die "the window is $width x $height outside, not $WINDOW_WIDTH x $WINDOW_HEIGHT"
    late=1
    sleep 0.2
  done
  if [[ -n $late ]]; then
    # Fitted late, it is centred again right after: look once it has moved.
    sleep 0.3
    read -r WIN_X WIN_Y _ < <(client_geometry "$MAIN_WIN")
  fi
  BASE_WINDOWS=$(visible_windows)
  locate_pages "$deadline"
}

# The pages' origin depends on the style's tab bar and pane frame, so it is measured:
# ListBox1's white client area starts LIST_EDGE pixels inside the list's own corner.
locate_pages() {
  local deadline=$1 shotfile=$WORK/locate.png
  while :; do
    import -window root "$shotfile"
    local x y white_x="" top=""
    y=$((WIN_Y + 250))
    white_x=$(convert "$shotfile" -crop "60x1+$WIN_X+$y" +repage txt:- |
      awk -F'[,:]' 'NR > 1 && /#FFFFFF/ { print $1; exit }')
    if [[ -n $white_x ]]; then
      x=$((WIN_X + white_x + 100))
      # Walk up the list's column from inside it to the first pixel that is not white.
      top=$(convert "$shotfile" -crop "1x251+$x+$WIN_Y" +repage txt:- |
        awk -F'[,:]' 'NR > 1 && !/#FFFFFF/ { last = $2 } END { print last + 1 }')
      local list_left list_top
      read -r list_left list_top _ <<<"$LISTBOX1"
      PAGE_X=$((WIN_X + white_x - list_left - LIST_EDGE))
      PAGE_Y=$((WIN_Y + top - list_top - LIST_EDGE))
      local dx=$((PAGE_X - WIN_X)) dy=$((PAGE_Y - WIN_Y))
      if ((dx >= 0 && dx <= 10 && dy >= 15 && dy <= 60)); then
        return 0
      fi
    fi
    ((SECONDS < deadline)) || die "cannot find the tab page in the window (list at x+$white_x, top $top)"
    sleep 0.2
  done
}

# Centre of a control given as "left top width height" on a tab page, in screen pixels.
control_centre() {
  local left top width height
  read -r left top width height <<<"$1"
  echo "$((PAGE_X + left + width / 2)) $((PAGE_Y + top + height / 2))"
}

click_at() {
  xdotool mousemove "$1" "$2"
  sleep 0.05
  xdotool click 1
  sleep 0.25
}

# press "left top width height": clicks the middle of a control on the showing page.
press() {
  local point
  point=$(control_centre "$1")
  # shellcheck disable=SC2086
  click_at $point
}

# Page coordinates (relative to the tab page's origin).
click_page() {
  click_at "$((PAGE_X + $1))" "$((PAGE_Y + $2))"
}

# Tabs are TAB_WIDTH wide from the window's left edge, in the band above the pages.
click_tab() {
  click_at "$((WIN_X + TAB_WIDTH * $1 + TAB_WIDTH / 2))" "$(((WIN_Y + PAGE_Y) / 2))"
}

# 終了 belongs to the window itself, not to a page.
press_quit() {
  local left top width height
  read -r left top width height <<<"$BUTTON4"
  click_at "$((WIN_X + left + width / 2))" "$((WIN_Y + top + height / 2))"
}

# Screen point in the middle of row ROW of a list ("left top width height"), counted from
# the list's first visible row.
list_row_point() {
  local left top width height
  read -r left top width height <<<"$1"
  echo "$((PAGE_X + left + LIST_EDGE + 40)) $((PAGE_Y + top + LIST_EDGE + LIST_ROW_HEIGHT * $2 + LIST_ROW_HEIGHT / 2))"
}

# drag FROM_X FROM_Y TO_X TO_Y: presses, moves in steps (the drag follows every move) and
# releases.
drag() {
  local x0=$1 y0=$2 x1=$3 y1=$4 i steps=10
  xdotool mousemove "$x0" "$y0"
  sleep 0.2
  xdotool mousedown 1
  sleep 0.2
  for ((i = 1; i <= steps; i++)); do
    xdotool mousemove "$((x0 + (x1 - x0) * i / steps))" "$((y0 + (y1 - y0) * i / steps))"
    sleep 0.05
  done
  sleep 0.2
  xdotool mouseup 1
  sleep 0.4
}

# drag_row FROM_LIST FROM_ROW TO_LIST TO_ROW: drags an entry onto a row of a list (it goes
# in before that row's entry).
drag_row() {
  local from to
  from=$(list_row_point "$1" "$2")
  to=$(list_row_point "$3" "$4")
  # shellcheck disable=SC2086
  drag $from $to
}

# type_text TEXT: types into the focused window. Non-ASCII characters must have been given
# keys of their own by preload_keys.
type_text() {
  local missing
  missing=$(perl -CSA -e 'my %have = map { chomp; (split / /)[1] => 1 } `cat "$ARGV[1]" 2>/dev/null`;
    print join " ", grep { !$have{sprintf "U%04X", ord} } grep { ord($_) > 126 } split //, $ARGV[0]' \
    "$1" "$WORK/keys.txt")
  [[ -z $missing ]] || die "no key for '$missing': preload_keys it before the program starts"
  xdotool type --delay 40 "$1"
  sleep 0.2
}

key() {
  xdotool key "$@"
  sleep 0.2
}

# focus_main: gives the main window the keyboard before typing into one of its fields.
focus_main() {
  timeout 5 xdotool windowfocus --sync "$MAIN_WIN" || true
  sleep 0.1
}

# wait_new_window: prints the id of a visible window that was not there when the main
# window settled (a dialog, a message box, a drop-down list).
wait_new_window() {
  local deadline=$((SECONDS + 30)) w
  while ((SECONDS < deadline)); do
    kill -0 "$CORVANE_PID" 2>/dev/null || die "the program has ended"
    w=$(comm -13 <(echo "$BASE_WINDOWS") <(visible_windows) | head -n1)
    if [[ -n $w ]]; then
      echo "$w"
      return 0
    fi
    sleep 0.1
  done
  die "no dialog appeared"
}

# wait_no_new_window: waits until every window opened after the main one is gone.
wait_no_new_window() {
  local deadline=$((SECONDS + 30))
  while ((SECONDS < deadline)); do
    if [[ -z $(comm -13 <(echo "$BASE_WINDOWS") <(visible_windows)) ]]; then
      sleep 0.2
      return 0
    fi
    sleep 0.1
  done
  die "a dialog stayed open"
}

# wait_closed WINDOW TIMEOUT: true once the window is no longer shown.
wait_closed() {
  local deadline=$((SECONDS + $2))
  while ((SECONDS < deadline)); do
    visible_windows | grep -qx "$1" || return 0
    sleep 0.1
  done
  return 1
}

window_name() {
  xdotool getwindowname "$1"
}

# expect_dialog TITLE_REGEX: waits for a new window, checks its title and waits until it
# has the keyboard focus, so that nothing typed next goes astray. Dialogs ask for the
# focus themselves; should one not get it, it is given explicitly.
expect_dialog() {
  local name deadline
  DIALOG=$(wait_new_window) || exit 1
  name=$(window_name "$DIALOG")
  [[ $name =~ $1 ]] || die "expected a window titled like '$1', got '$name'"
  deadline=$((SECONDS + 10))
  until [[ $(xdotool getwindowfocus -f 2>/dev/null) == "$DIALOG" ]]; do
    if ((SECONDS >= deadline)); then
      timeout 5 xdotool windowfocus --sync "$DIALOG" || true
      break
    fi
    sleep 0.1
  done
  sleep 0.3  # focused; let it finish laying itself out
}

# close_dialog_with_return: Enter on the open dialog, again should the key not arrive.
close_dialog_with_return() {
  local try
  for try in 1 2 3; do
    key Return
    if wait_closed "$DIALOG" 10; then
      wait_no_new_window
      return 0
    fi
    log "the dialog is still open after Enter (try $try)"
  done
  die "the dialog '$(window_name "$DIALOG")' does not close on Enter"
}

# quit_corvane: presses 終了 and expects the program to end by itself, successfully.
quit_corvane() {
  press_quit
  local deadline=$((SECONDS + 30))
  while kill -0 "$CORVANE_PID" 2>/dev/null; do
    ((SECONDS < deadline)) || die "the program did not end after 終了"
    sleep 0.1
  done
  local status=0
  wait "$CORVANE_PID" || status=$?
  CORVANE_PID=""
  ((status == 0)) || die "the program ended with status $status"
}

# choose_files FOLDER NAME...: 開く, then the names typed with their folder into the file
# dialog's name field, each in double quotes, and Enter.
choose_files() {
  local folder=$1 names="" name
  shift
  for name in "$@"; do names+="\"$folder/$name\" "; done
  press "$BUTTON1"
  expect_dialog "^$OPEN_DIALOG_TITLE\$"
  type_text "${names% }"
  shot "${SHOT_PREFIX:-}file-dialog"
  close_dialog_with_return
}

# add_heading TITLE: 項目名入力, the title typed over the field's initial blank, OK by Enter.
add_heading() {
  press "$BUTTON2"
  expect_dialog '^新規項目名$'
  type_text "$1"
  shot "${SHOT_PREFIX:-}heading-box"
  close_dialog_with_return
}

# generate: HTML作成, then the message it ends with is dismissed by Enter.
generate() {
  press "$BUTTON3"
  expect_dialog "^$APP_TITLE\$"
  shot "${SHOT_PREFIX:-}generated-message"
  close_dialog_with_return
}

# Screen checks look at fresh screenshots until the condition holds or a few seconds
# pass: a repaint may lag behind the event that asked for it. A check that fails keeps
# its screenshot.
CHECK_SHOT_COUNT=0
screen_check() {
  local what=$1 deadline=$((SECONDS + 10)) file=$WORK/check.png
  shift
  while :; do
    import -window root "$file"
    "$@" "$file" && return 0
    if ((SECONDS >= deadline)); then
      CHECK_SHOT_COUNT=$((CHECK_SHOT_COUNT + 1))
      local kept
      kept=$(printf '%s/zz-failed-check-%02d.png' "$SHOTS" "$CHECK_SHOT_COUNT")
      cp "$file" "$kept"
      fail "$what ($kept)"
      return 0
    fi
    sleep 0.2
  done
}

# Number of distinct colours inside a control's area: 1 means the page shows through,
# the control is hidden.
control_colours() {
  local left top width height
  read -r left top width height <<<"$1"
  convert "$2" -crop "${width}x${height}+$((PAGE_X + left))+$((PAGE_Y + top))" +repage \
    -format %k info:
}
has_several_colours() { (($(control_colours "$1" "$2") > 1)); }
has_one_colour() { (($(control_colours "$1" "$2") == 1)); }

# pixel_is X Y COLOUR FILE (screen coordinates, COLOUR as #RRGGBB)
pixel_is() {
  [[ $(convert "$4" -crop "1x1+$1+$2" +repage txt:- | awk 'NR == 2 { print $3 }') == "$3" ]]
}

# expect_shown CONTROL WHAT, expect_hidden CONTROL WHAT
expect_shown() { screen_check "$2 is not shown" has_several_colours "$1"; }
expect_hidden() { screen_check "$2 is shown" has_one_colour "$1"; }

# expect_pixel X Y COLOUR WHAT
expect_pixel() { screen_check "$4: pixel ($1, $2) is not $3" pixel_is "$1" "$2" "$3"; }

# A failed comparison is reported and counted; the script goes on and fails at the end.
fail() {
  printf '[%s] MISMATCH: %s\n' "$(basename "$0" .sh)" "$*" >&2
  FAILURES=$((FAILURES + 1))
}

# sjis_lines FILE: writes stdin, given in UTF-8, as Shift_JIS with every line ended by CR LF.
sjis_lines() {
  sed 's/$/\r/' | iconv -f UTF-8 -t CP932 >"$1"
}

# page_lines FILE: writes stdin, given in UTF-8, as a page is written: UTF-8, every line
# ended by CR LF.
page_lines() {
  sed 's/$/\r/' >"$1"
}

# expect_default_frame_pages DIR: writes the frameset (menu on the right, 200 wide) and the
# blank page that every site made with the default settings has.
expect_default_frame_pages() {
page_lines "$1/CASE.HTM" <<'EOF'
<html>
<head>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<META NAME="GENERATOR" CONTENT="Corvane ver 1.2">
</head>
<FRAMESET COLS="*,200">
<FRAME SRC="BLANK.HTM" NAME="DATA">
<FRAME SRC="MENU.HTM" NAME="MENU">
</FRAMESET>
<body text="#FFFFFF" bgcolor="#000000" link="#FFFF00" vlink="#C0C0C0" alink="#C0FFC0">
&nbsp;
</body>
</html>
EOF
page_lines "$1/BLANK.HTM" <<'EOF'
<html>
<head>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<META NAME="GENERATOR" CONTENT="Corvane ver 1.2">
</head>
<body text="#FFFFFF" bgcolor="#000000" link="#FFFF00" vlink="#C0C0C0" alink="#C0FFC0">
&nbsp;
</body>
</html>
EOF
}

hex_dump() {
  if command -v xxd >/dev/null; then xxd "$1"; else od -A x -t x1z -v "$1"; fi
}

# expect_bytes ACTUAL EXPECTED: byte comparison, with a hex dump of both on a mismatch.
expect_bytes() {
  local actual=$1 expected=$2
  if [[ ! -f $actual ]]; then
    fail "${actual#"$WORK"/} was not written"
    return 0
  fi
  if cmp -s "$actual" "$expected"; then
    log "ok: ${actual#"$WORK"/} ($(stat -c %s "$actual") bytes)"
    return 0
  fi
  fail "${actual#"$WORK"/} differs from what was expected"
  cmp "$actual" "$expected" >&2 || true
  diff <(hex_dump "$expected") <(hex_dump "$actual") | sed 's/^</expected /; s/^>/actual   /' >&2 || true
}

# expect_bytes_soon ACTUAL EXPECTED: the same, for a file written by a click whose
# handler may still be running: waits a while for the expected bytes first.
expect_bytes_soon() {
  local deadline=$((SECONDS + 10))
  until cmp -s "$1" "$2" 2>/dev/null || ((SECONDS >= deadline)); do sleep 0.1; done
  expect_bytes "$1" "$2"
}

# The script's verdict; call last.
e2e_finish() {
  log "screenshots:"
  printf '  %s\n' "$SHOTS"/*.png
  if ((FAILURES > 0)); then
    die "$FAILURES check(s) failed"
  fi
  log "PASS"
}
