#!/usr/bin/env bash
# A short run and a long one in the real window. The short run shows no progress box: its
# message is the first window that opens. The long run (a saved list of 600,000 text entries,
# loaded with 前回読込み) shows the box, which is window-modal; キャンセル ends the run with a
# message that the site was not made, and every file of the previous site is byte for byte as
# it was, with nothing left beside it.
# Then, with CORVANE_SLOW_SHARE naming the FUSE server of the tests (and root), the site is
# on a share that stops answering while the pages are put in place: Esc (キャンセル by keyboard)
# gives the window back with a message that the run could not be confirmed, every page of the
# previous site is as it was, and 終了 ends the program although its run still waits for the
# share.
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

# The pages of the site in FOLDER, kept to compare with after a cancelled run.
pages="CASE.HTM BLANK.HTM MENU.htm 1.htm"
keep_pages() { for file in $pages; do cp "$1/$file" "$kept/$file"; done; }
expect_pages_kept() { for file in $pages; do expect_bytes "$1/$file" "$kept/$file"; done; }

# cancel_in_box SHOT [KEY]: the progress box just opened; キャンセル, at its lower right (or the
# key KEY), closes it and a message follows, looked at in SHOT and dismissed.
cancel_in_box() {
  local bx by bw bh box=$DIALOG
  if [[ -n ${2:-} ]]; then
    key "$2"
  else
    read -r bx by bw bh < <(client_geometry "$box")
    click_at $((bx + bw - 50)) $((by + bh - 24))
  fi
  wait_closed "$box" 5 || die "the progress box stays after キャンセル"
  expect_dialog "^$APP_TITLE\$"
  shot "$1"
  close_dialog_with_return
}

# Twenty lines a text entry of the long run: a quick machine copies some million short entries
# a second.
for i in $(seq 20); do echo "二十行の一行目から二十行目まで $i"; done | iconv -f UTF-8 -t CP932 >"$site/long.txt"

### The short run.
start_corvane "$start_dir"
choose_files "$site" a.jpg b.txt
press "$BUTTON11"
generate # the first window to open is the message, not a box
keep_pages "$site"
listing_before=$(ls -A "$site")

### The long run: the list is made long by a saved list loaded after the short one.
# Long enough that it is still running when キャンセル is pressed, on a quick machine too.
{
  printf -- '-----B-----\r\n'
  awk 'BEGIN { for (i = 0; i < 600000; i++) printf "long.txt\r\n" }'
} >"$site/files.cvn"
press "$BUTTON11"
press "$BUTTON3"
expect_dialog '^ＨＴＭＬ作成中$'
shot progress-box
# The window under the box takes no input meanwhile: a press on 終了 does nothing.
press_quit
sleep 0.3
kill -0 "$CORVANE_PID" || die "終了 ended the program under the progress box"
cancel_in_box cancelled-message
expect_pages_kept "$site"
[[ $(ls -A "$site") == "$listing_before" ]] || fail "the folder holds other files after キャンセル"
quit_corvane

### A share that stops answering while the pages are put in place.
if [[ -x ${CORVANE_SLOW_SHARE:-} && -w /dev/fuse ]]; then
  served=$WORK/served share=$WORK/share
  mkdir -p "$served" "$share"
  cp "$site/a.jpg" "$site/b.txt" "$served/"
  sjis_lines "$served/files.cvn" <<'LINES'
-----A-----
a.jpg
b.txt
LINES
  "$CORVANE_SLOW_SHARE" "$served" "$share" 0 2>>"$WORK/share.log" &
  share_pid=$!
  stop_share() {
    umount -l "$share" 2>/dev/null || true
    kill "$share_pid" 2>/dev/null || true
    wait "$share_pid" 2>/dev/null || true
  }
  trap 'status=$?; stop_share; (exit $status); e2e_cleanup' EXIT
  for _ in $(seq 50); do mountpoint -q "$share" && break || sleep 0.1; done
  mountpoint -q "$share" || die "the share was not mounted"

  start_corvane "$start_dir"
  choose_files "$share" a.jpg b.txt
  press "$BUTTON11"
  SHOT_PREFIX=share- generate
  keep_pages "$served"
  printf '1.htm\n' >"$served/stall-renames"
  press "$BUTTON3"
  expect_dialog '^ＨＴＭＬ作成中$'
  cancel_in_box unconfirmed-message Escape # by keyboard this time
  expect_pages_kept "$served"
  quit_corvane # the run still waits for its rename
  stop_share
fi
e2e_finish
