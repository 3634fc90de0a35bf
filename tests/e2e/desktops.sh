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
start_accessibility_bus
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
# weston outlives the X server it draws in: it is ended with the script, whatever ends it,
# before the usual clean-up (which reads the script's status from $?).
end_weston_and_clean_up() {
  local status=$?
  set +e
  [[ -z ${WESTON_PID:-} ]] || kill "$WESTON_PID" 2>/dev/null
  (exit "$status")
  e2e_cleanup
}
trap end_weston_and_clean_up EXIT
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
WESTON_PID=""

# --- X11 under openbox: the same drag.
start_window_manager
start_corvane "$site"
press "$BUTTON11"
edge_drag openbox
quit_corvane

# --- A whole site with keys alone: every step is a key event, and where the focus is
# before each is read over the accessibility bus, as a screen reader user hears it.
expect_focus() {
  local seen
  seen=$(/usr/bin/python3 "$LIST_TOOL" "$APP_NAME" --focused)
  [[ $seen == "$1" ]] || die "keys: the focus is on '$seen', not on '$1'"
}
keys_site=$WORK/keys
mkdir -p "$keys_site" "$WORK/keys-start"
convert -size 800x600 xc:skyblue "$keys_site/b.jpg"
printf 'x\r\n' >"$keys_site/c.txt"
sjis_lines "$keys_site/a.txt" <<<"京都の記録"
preload_keys 京都 "$keys_site"
start_corvane "$WORK/keys-start"
focus_main
expect_focus "push button 終了"
key Tab Tab Tab
expect_focus "push button 開く"
key space
expect_dialog "^$OPEN_DIALOG_TITLE\$"
type_text "\"$keys_site/a.txt\" \"$keys_site/b.jpg\" \"$keys_site/c.txt\""
close_dialog_with_return
key shift+Tab
expect_focus "list 入力ファイルリスト"
key Return Return Return  # a, b, c after one another
key Tab Tab Tab
expect_focus "push button 項目名入力"
key space
expect_dialog '^新規項目名$'
expect_focus "text 項目名を入力してください"
type_text 京都
close_dialog_with_return
key shift+Tab
expect_focus "list 出力ファイルリスト"
key End ctrl+Up ctrl+Up ctrl+Up  # the heading, appended last, to the top
key Down Down Delete             # b.jpg back to the input list
key shift+Tab shift+Tab
expect_focus "list 入力ファイルリスト"
key End Return                   # b.jpg after c.txt, the output list's current entry
shot keys-composed
# The menu's background: the second colour target, the ninth swatch (navy).
key ctrl+Tab  # the next page, its first control
expect_focus "combo box メニュー（文字）"
key Down
for ((i = 0; i < 9; i++)); do key Tab; done
expect_focus "push button navy"
key space
shot keys-colour
key ctrl+shift+Tab
for ((i = 0; i < 8; i++)); do
  [[ $(/usr/bin/python3 "$LIST_TOOL" "$APP_NAME" --focused) == "push button HTML作成" ]] && break
  key Tab
done
expect_focus "push button HTML作成"
key space
expect_dialog "^$APP_TITLE\$"
shot keys-generated
close_dialog_with_return
key alt+F4
wait "$CORVANE_PID" || fail "the program ended with status $? after Alt+F4"
CORVANE_PID=""
printf -- '-----京都-----\na.txt\nc.txt\nb.jpg\n' | sjis_lines "$WORK/keys.cvn"
expect_bytes "$keys_site/files.cvn" "$WORK/keys.cvn"
grep -q 'bgcolor="navy"' "$keys_site/MENU.htm" || fail "keys: the menu is not navy"
grep -q '<IMG SRC="b.jpg" WIDTH="600" HEIGHT="450">' "$keys_site/1.htm" ||
  fail "keys: the page does not show b.jpg"

# --- Dark desktop themes: qt6ct's "darker" palette, and GTK's Adwaita-dark through Qt's
# GTK theme. Every label, on every tab, is measured against what it is drawn on: the
# darkest or lightest colour in its place (the glyphs' core) against the commonest (the
# background), as WCAG defines contrast; readable text needs 4.5:1.
mkdir -p "$XDG_CONFIG_HOME/qt6ct"
printf '[Appearance]\ncolor_scheme_path=/usr/share/qt6ct/colors/darker.conf\ncustom_palette=true\nstyle=Fusion\n' \
  >"$XDG_CONFIG_HOME/qt6ct/qt6ct.conf"
# contrast FILE "left top width height": the ratio in the area, on the showing page.
contrast() {
  local left top width height
  read -r left top width height <<<"$2"
  convert "$1" -crop "${width}x${height}+$((PAGE_X + left))+$((PAGE_Y + top))" +repage \
    -format %c histogram:info:- | awk '
    function lin(c) { c /= 255; return c <= 0.04045 ? c / 12.92 : ((c + 0.055) / 1.055) ^ 2.4 }
    {
      count = $1 + 0; rgb = $2; gsub(/[()]/, "", rgb); split(rgb, part, ",")
      lum = 0.2126 * lin(part[1]) + 0.7152 * lin(part[2]) + 0.0722 * lin(part[3])
      n++; counts[n] = count; lums[n] = lum
      if (count > best) { best = count; background = lum }
    }
    END {
      ratio = 1
      for (i = 1; i <= n; i++) {
        if (counts[i] < 3) continue  # a stray pixel of the edge smoothing
        hi = lums[i] > background ? lums[i] : background
        lo = lums[i] > background ? background : lums[i]
        r = (hi + 0.05) / (lo + 0.05)
        if (r > ratio) ratio = r
      }
      printf "%.2f\n", ratio
    }'
}
read -r group_left group_top _ <<<"$RADIOGROUP1"
# The radio group's caption, and its two items' letters right of their circles.
RADIO_CAPTION="$((group_left + 8)) $group_top 100 14"
RADIO_L="$((group_left + 26)) $((group_top + 17)) 12 14"
RADIO_R="$((group_left + 81)) $((group_top + 17)) 12 14"
for theme in qt6ct-darker gtk3-Adwaita-dark; do
  if [[ $theme == qt6ct-* ]]; then
    export QT_QPA_PLATFORMTHEME=qt6ct
  else
    export QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark
  fi
  start_corvane "$WORK/keys-start"
  for page in 0 1 2; do
    click_tab "$page"
    shot "$theme-tab$((page + 1))"
    file=$(ls "$SHOTS"/[0-9][0-9]-"$theme-tab$((page + 1))".png)
    case $page in
      0) labels="LABEL2 LABEL1 LABEL4" ;;
      1) labels="LABEL3 LABEL5 LABEL6 LABEL7 LABEL8 RADIO_CAPTION RADIO_L RADIO_R" ;;
      2) labels="LABEL9 LABEL10" ;;
    esac
    line=""
    for label in $labels; do
      ratio=$(contrast "$file" "${!label}")
      line+=" $label $ratio"
      awk -v r="$ratio" 'BEGIN { exit !(r >= 4.5) }' ||
        fail "$theme: $label measures $ratio:1 against its background"
    done
    log "$theme, tab $((page + 1)):$line"
  done
  quit_corvane
  unset QT_QPA_PLATFORMTHEME GTK_THEME
done

e2e_finish
