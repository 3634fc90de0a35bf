#!/usr/bin/env bash
# A short run and a long one in the real window. The short run shows no progress box: its
# message is the first window that opens. The long run (a saved list of 600,000 entries,
# loaded with 前回読込み) shows the box, which is window-modal; キャンセル ends the run with a
# message that the site was not made, and every file of the previous site is byte for byte as
# it was, with nothing left beside it.
#
#   tests/e2e/long_run.sh build/corvane [SCREENSHOT_DIR]

source "$(dirname "$0")/lib.sh"
e2e_init "$@"

start_dir=$WORK/start
site=$WORK/site
kept=$WORK/kept
mkdir -p "$start_dir" "$site" "$kept"
convert -size 800x600 xc:skyblue "$site/a.jpg"
sjis_lines "$site/b.txt" <<'LINES'
一日目
LINES
sjis_lines "$site/files.cvn" <<'LINES'
-----A-----
a.jpg
b.txt
LINES

### The short run.
start_corvane "$start_dir"
choose_files "$site" a.jpg b.txt
press "$BUTTON11"
generate # the first window to open is the message, not a box
for file in CASE.HTM BLANK.HTM MENU.htm 1.htm; do cp "$site/$file" "$kept/$file"; done
listing_before=$(ls -A "$site")

### The long run: the list is made long by a saved list loaded after the short one.
# Long enough that it is still running when キャンセル is pressed, on a quick machine too.
{
  printf -- '-----B-----\r\n'
  awk 'BEGIN { for (i = 0; i < 600000; i++) printf "a.jpg\r\n" }'
} >"$site/files.cvn"
press "$BUTTON11"
press "$BUTTON3"
expect_dialog '^ＨＴＭＬ作成中$'
shot progress-box
box=$DIALOG
read -r bx by bw bh < <(client_geometry "$box")
# The window under the box takes no input meanwhile: a press on 終了 does nothing.
press_quit
sleep 0.3
kill -0 "$CORVANE_PID" || die "終了 ended the program under the progress box"
# キャンセル sits at the box's lower right.
click_at $((bx + bw - 50)) $((by + bh - 24))
wait_closed "$box" 5 || die "the progress box stays after キャンセル"
expect_dialog "^$APP_TITLE\$"
shot cancelled-message
close_dialog_with_return

for file in CASE.HTM BLANK.HTM MENU.htm 1.htm; do expect_bytes "$site/$file" "$kept/$file"; done
[[ $(ls -A "$site") == "$listing_before" ]] || fail "the folder holds other files after キャンセル"
quit_corvane
e2e_finish
