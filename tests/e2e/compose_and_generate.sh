#!/usr/bin/env bash
# The whole road of one site in the real window: pick three files, move them to the page
# list, add a heading and drag it to the top, create the site, then compare every file the
# program wrote with the bytes it must hold.
#
#   tests/e2e/compose_and_generate.sh build/corvane [SCREENSHOT_DIR]

source "$(dirname "$0")/lib.sh"
e2e_init "$@"

start_dir=$WORK/start
site=$WORK/"site 旅行"  # a blank and Japanese in the folder name: both must survive
mkdir -p "$start_dir" "$site"

convert -size 800x600 xc:skyblue "$site/a.jpg"
convert -size 600x800 xc:pink "$site/c.JPG"
# 表 ends in byte 0x5C in Shift_JIS; markup and the empty line are copied as they are.
sjis_lines "$site/b.txt" <<'EOF'
旅行の記録
a<b

表示は そのまま
EOF

preload_keys 旅行 "$site"
start_corvane "$start_dir"
shot start
expect_hidden "$BUTTON3" "HTML作成 before any selection"
expect_hidden "$BUTTON11" "前回読込み without a saved list"

choose_files "$site" a.jpg b.txt c.JPG
shot files-chosen
expect_shown "$BUTTON3" "HTML作成 after the selection"
expect_hidden "$BUTTON8" "比較読込み without a saved list"
expect_hidden "$BUTTON11" "前回読込み without a saved list"

press "$BUTTON10"
shot moved-all

add_heading 旅行
shot heading-added

# The heading was appended as the fourth entry; it goes in before the first one.
drag_row "$LISTBOX2" 3 "$LISTBOX2" 0
shot heading-on-top

generate
shot after-generation
quit_corvane

expected=$WORK/expected
mkdir "$expected"
sjis_lines "$expected/files.cvn" <<'EOF'
-----旅行-----
a.jpg
b.txt
c.JPG
EOF
expect_default_frame_pages "$expected"
page_lines "$expected/MENU.htm" <<'EOF'
<html>
<head>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<META NAME="GENERATOR" CONTENT="Corvane ver 1.2">
</head>
<body text="white" bgcolor="black" link="green" vlink="green" alink="green">
<A HREF="1.htm"TARGET="DATA">旅行</A><BR>
</body>
</html>
EOF
page_lines "$expected/1.htm" <<'EOF'
<html>
<head>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<META NAME="GENERATOR" CONTENT="Corvane ver 1.2">
</head>
<body text="white" bgcolor="black" link="green" vlink="green" alink="green">
<IMG SRC="a.jpg" WIDTH="600" HEIGHT="450"><BR>
旅行の記録<BR>
a<b<BR>
<BR>
表示は そのまま<BR>
<IMG SRC="c.JPG" WIDTH="450" HEIGHT="600"><BR>
</body>
</html>
EOF
# The heading's title in the menu is 旅行 in UTF-8, and the saved list keeps it in Shift_JIS.
grep -q $'\xe6\x97\x85\xe8\xa1\x8c</A>' "$expected/MENU.htm" || die "the expected menu is not UTF-8"
grep -q $'\x97\xb7\x8d\x73' "$expected/files.cvn" || die "the expected saved list is not Shift_JIS"

for file in files.cvn CASE.HTM BLANK.HTM MENU.htm 1.htm; do
  expect_bytes "$site/$file" "$expected/$file"
done
# The frameset asks for MENU.HTM; on a file system that tells case apart it must exist too.
expect_bytes "$site/MENU.HTM" "$expected/MENU.htm"
[[ ! -e $site/2.htm ]] || fail "a second page was written for one heading"
# The program's settings file went to the folder it was started in, not to the site.
[[ -f $start_dir/corvane.INI ]] || fail "no corvane.INI in the start folder"
[[ ! -e $site/corvane.INI ]] || fail "corvane.INI was written into the site folder"

e2e_finish
