#!/usr/bin/env bash
# Names as a Linux input method types them: a folder and files whose names hold 〜 as
# U+301C, which the Shift_JIS conversion gives back as U+FF5E. The program started in that
# folder writes its settings file there without complaint; the files are chosen in the file
# dialog, and the site is written into that folder with both files on its page.
#
#   tests/e2e/spelling_variants.sh build/corvane [SCREENSHOT_DIR]

source "$(dirname "$0")/lib.sh"
e2e_init "$@"

site=$WORK/"wave〜dir"
mkdir -p "$site"
convert -size 800x600 xc:skyblue "$site/波〜.jpg"
sjis_lines "$site/旅行〜京都.txt" <<'EOF'
京都へ
EOF

preload_keys "$site" 旅行 "旅行〜京都.txt" "波〜.jpg"
start_corvane "$site"
shot started-in-wave-dash-folder
# No error report at start-up, and the settings file is in the start folder itself.
sleep 1
[[ -z $(comm -13 <(echo "$BASE_WINDOWS") <(visible_windows)) ]] || fail "a dialog opened at start-up"
[[ -f $site/corvane.INI ]] || fail "no corvane.INI in the start folder"

choose_files "$site" "旅行〜京都.txt" "波〜.jpg"
shot files-chosen
expect_shown "$BUTTON3" "HTML作成 after the selection"

add_heading 旅行
press "$BUTTON10"
shot composed
generate
shot after-generation
quit_corvane

for file in files.cvn CASE.HTM BLANK.HTM MENU.htm 1.htm; do
  [[ -f $site/$file ]] || fail "$file was not written into the folder"
done
# Nothing went to a folder named with the other spelling.
[[ ! -e $WORK/"wave～dir" ]] || fail "a folder of the other spelling appeared"
page=$WORK/page.txt
tr -d '\r' <"$site/1.htm" >"$page"
grep -qx '京都へ<BR>' "$page" || fail "the text file's line is not on the page"
# The entry 波～ converts back to U+FF5E: the page names the file by its own name, 〜 U+301C.
grep -qx '<IMG SRC="波〜.jpg" WIDTH="600" HEIGHT="450"><BR>' "$page" ||
  fail "the picture is not on the page: $(cat "$page")"
log "page 1.htm:"
sed 's/^/  /' "$page"

e2e_finish
