#!/usr/bin/env bash
# The window on the desktops people use: under weston (Wayland, nested in the X server so
# that xdotool drives its pointer) and under openbox on X11, a drag that rests on the
# output list's bottom edge scrolls it, the scrolling stops within 150 ms of the pointer
# leaving the edge, and the drop lands on the row under the pointer; a whole site made
# with keys alone; and under two dark desktop themes, each tab's labels measured against
# what they are drawn on (at least 4.5:1).
#
#   tests/e2e/desktops.sh build/corvane [SCREENSHOT_DIR]

# The lists are read over the accessibility bus, in a D-Bus session of the script's own.
if [[ -z ${CORVANE_E2E_SESSION:-} ]]; then
  CORVANE_E2E_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$WORK/at-spi.log" 2>&1 &
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
LIST_TOOL=$(dirname "$0")/list_entries.py
APP_NAME=$(basename "$CORVANE")
OUTPUT_LIST=出力ファイルリスト

# A saved list of 40 entries, more than the 22 a list shows: 前回読込み fills the output
# list with it.
site=$WORK/site
mkdir -p "$site"
for i in $(seq -w 0 39); do echo "e$i.txt"; done | sjis_lines "$site/files.cvn"

output_entries() { /usr/bin/python3 "$LIST_TOOL" "$APP_NAME" "$OUTPUT_LIST"; }

# edge_drag WHERE: takes the first entry of the filled output list, rests on the list's
# bottom frame row for 0.45 s, moves up off it, and drops on the sixth row shown.
edge_drag() {
  local where=$1 x y0 edge drop_y
  read -r x y0 < <(list_row_point "$LISTBOX2" 0)
  local left top width height
  read -r left top width height <<<"$LISTBOX2"
  edge=$((PAGE_Y + top + LIST_EDGE + 344))
  xdotool mousemove "$x" "$y0"
  sleep 0.2
  xdotool mousedown 1
  sleep 0.2
  local i
  for ((i = 1; i <= 8; i++)); do
    xdotool mousemove "$x" "$((y0 + (edge - y0) * i / 8))"
    sleep 0.03
  done
  sleep 0.45
  shot "$where-resting-on-the-edge"
  local before after150 after600
  read -r before after150 after600 < <(/usr/bin/python3 "$LIST_TOOL" "$APP_NAME" "$OUTPUT_LIST" \
    --top-around xdotool mousemove "$x" "$((edge - 40))") || die "cannot read the list's top"
  log "$where: top index when leaving the edge $before, 150 ms later $after150, 600 ms later $after600"
  ((before >= 3)) || fail "$where: resting on the edge scrolled to $before only"
  ((after150 == after600)) || fail "$where: still scrolling 150 ms after leaving the edge"
  ((after150 - before <= 1)) || fail "$where: $((after150 - before)) steps after leaving the edge"
  local drop_x
  read -r drop_x drop_y < <(list_row_point "$LISTBOX2" 5)
  xdotool mousemove "$drop_x" "$drop_y"
  sleep 0.2
  xdotool mouseup 1
  sleep 0.4
  shot "$where-dropped"
  # Dropped on the sixth row shown: before the entry shown there, at top index + 5.
  local at
  at=$(output_entries | grep -n -x 'e00.txt' | cut -d: -f1)
  if [[ $at == "$((after600 + 5 + 1))" ]]; then
    log "ok: $where: dropped on the row under the pointer (entry $((at - 1)))"
  else
    fail "$where: dropped as entry $((at - 1)), the row under the pointer is entry $((after600 + 5))"
  fi
}

# --- weston, Wayland: the program with Qt's Wayland plugin, in weston's window on the X
# server. The kiosk shell shows one window, centred; its place is found on the screen.
weston --backend=x11-backend.so --shell=kiosk-shell.so --width=800 --height=600 \
  --socket=corvane-e2e --idle-time=0 >"$WORK/weston.log" 2>&1 &
WESTON_PID=$!
deadline=$((SECONDS + 20))
until [[ -S $XDG_RUNTIME_DIR/corvane-e2e ]]; do
  kill -0 "$WESTON_PID" 2>/dev/null || { cat "$WORK/weston.log" >&2; die "weston did not start"; }
  ((SECONDS < deadline)) || die "weston did not open its socket"
  sleep 0.1
done
(cd "$site" && exec env QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=corvane-e2e "$CORVANE") \
  >>"$WORK/corvane.log" 2>&1 &
CORVANE_PID=$!
# ListBox1's white client area is the first white on the screen's middle row.
deadline=$((SECONDS + 30))
while :; do
  kill -0 "$CORVANE_PID" 2>/dev/null || die "the program ended at start-up under weston"
  import -window root "$WORK/locate.png"
  white_x=$(convert "$WORK/locate.png" -crop "800x1+0+300" +repage txt:- |
    awk -F'[,:]' 'NR > 1 && !found && /#FFFFFF/ { print $1; found = 1 }')
  if [[ -n $white_x ]]; then
    white_top=$(convert "$WORK/locate.png" -crop "1x301+$((white_x + 100))+0" +repage txt:- |
      awk -F'[,:]' 'NR > 1 && !/#FFFFFF/ { last = $2 } END { print last + 1 }')
    read -r list_left list_top _ <<<"$LISTBOX1"
    PAGE_X=$((white_x - list_left - LIST_EDGE)) PAGE_Y=$((white_top - list_top - LIST_EDGE))
    break
  fi
  ((SECONDS < deadline)) || die "the window did not appear under weston"
  sleep 0.2
done
sleep 0.5
log "weston: the page starts at ($PAGE_X, $PAGE_Y)"
press "$BUTTON11"
[[ $(output_entries | wc -l) == 40 ]] || fail "weston: 前回読込み did not fill the output list"
edge_drag weston
kill "$CORVANE_PID" && wait "$CORVANE_PID" 2>/dev/null || true
CORVANE_PID=""
kill "$WESTON_PID" && wait "$WESTON_PID" 2>/dev/null || true

# --- X11 under openbox: the same drag.
start_window_manager
start_corvane "$site"
press "$BUTTON11"
edge_drag openbox
quit_corvane

e2e_finish
