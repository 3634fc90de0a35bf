#!/usr/bin/env bash
# A site made, the program closed, the folder changed (one file added, one deleted), the
# program started again: the files are chosen anew, the saved list is loaded and compared
# (比較読込み), the new file is dragged into place, the entry of the deleted file is
# removed (非選択消去) and the site is made again. The saved list and the pages are
# compared byte for byte after each generation.
#
#   tests/e2e/reload_cycle.sh build/corvane [SCREENSHOT_DIR]

source "$(dirname "$0")/lib.sh"
e2e_init "$@"

start_dir=$WORK/start
site=$WORK/site
expected=$WORK/expected
mkdir -p "$start_dir" "$site" "$expected"

convert -size 800x600 xc:skyblue "$site/a.jpg"
convert -size 600x800 xc:pink "$site/c.JPG"
sjis_lines "$site/b.txt" <<'EOF'
一日目
a<b
EOF

# The frameset and blank pages are the same in every generation here.
expect_default_frame_pages "$expected"
# Both runs make two pages with the same headings.
page_lines "$expected/MENU.htm" <<'EOF'
<html>
<head>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<META NAME="GENERATOR" CONTENT="Corvane ver 1.2">
</head>
<body text="white" bgcolor="black" link="green" vlink="green" alink="green">
<A HREF="1.htm"TARGET="DATA">旅行</A><BR>
<A HREF="2.htm"TARGET="DATA">写真</A><BR>
</body>
</html>
EOF

# expect_site STAGE FILE...: the named files of the site against expected/STAGE-FILE (or
# expected/FILE when the stage has no version of its own).
expect_site() {
  local stage=$1 file want
  shift
  for file in "$@"; do
    want=$expected/$stage-$file
    [[ -f $want ]] || want=$expected/$file
    expect_bytes "$site/$file" "$want"
  done
}

preload_keys 旅行 写真

### First run: make the site.
SHOT_PREFIX=run1-
start_corvane "$start_dir"
choose_files "$site" a.jpg b.txt c.JPG
press "$BUTTON10"
add_heading 旅行
drag_row "$LISTBOX2" 3 "$LISTBOX2" 0  # 旅行 a.jpg b.txt c.JPG
add_heading 写真
drag_row "$LISTBOX2" 4 "$LISTBOX2" 3  # 旅行 a.jpg b.txt 写真 c.JPG
shot run1-composed
generate
quit_corvane

sjis_lines "$expected/first-files.cvn" <<'EOF'
-----旅行-----
a.jpg
b.txt
-----写真-----
c.JPG
EOF
page_lines "$expected/first-1.htm" <<'EOF'
<html>
<head>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<META NAME="GENERATOR" CONTENT="Corvane ver 1.2">
</head>
<body text="white" bgcolor="black" link="green" vlink="green" alink="green">
<IMG SRC="a.jpg" WIDTH="600" HEIGHT="450"><BR>
一日目<BR>
a<b<BR>
</body>
</html>
EOF
page_lines "$expected/first-2.htm" <<'EOF'
<html>
<head>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<META NAME="GENERATOR" CONTENT="Corvane ver 1.2">
</head>
<body text="white" bgcolor="black" link="green" vlink="green" alink="green">
<IMG SRC="c.JPG" WIDTH="450" HEIGHT="600"><BR>
</body>
</html>
EOF
expect_site first files.cvn CASE.HTM BLANK.HTM MENU.htm 1.htm 2.htm

### Between the runs: a new photo arrives, the text file goes away.
convert -size 1920x1080 xc:orange "$site/d.jpg"
rm "$site/b.txt"

### Second run: reload, reconcile, make the site again.
SHOT_PREFIX=run2-
start_corvane "$start_dir"
shot run2-start
expect_hidden "$BUTTON8" "比較読込み at start-up"
expect_hidden "$BUTTON11" "前回読込み at start-up"

choose_files "$site" a.jpg c.JPG d.jpg
shot run2-files-chosen
expect_shown "$BUTTON8" "比較読込み for a folder with a saved list"
expect_shown "$BUTTON11" "前回読込み for a folder with a saved list"
expect_hidden "$BUTTON9" "非選択消去 before a comparison"

press "$BUTTON8"
# Output: 旅行 a.jpg 今回非選択（b.txt） 写真 c.JPG; input: d.jpg alone.
shot run2-compared
expect_shown "$BUTTON9" "非選択消去 after a comparison that marked an entry"

# The marked entry is saved as it is but adds nothing to the pages, so the missing
# b.txt is never opened.
generate
sjis_lines "$expected/marked-files.cvn" <<'EOF'
-----旅行-----
a.jpg
今回非選択（b.txt）
-----写真-----
c.JPG
EOF
page_lines "$expected/marked-1.htm" <<'EOF'
<html>
<head>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<META NAME="GENERATOR" CONTENT="Corvane ver 1.2">
</head>
<body text="white" bgcolor="black" link="green" vlink="green" alink="green">
<IMG SRC="a.jpg" WIDTH="600" HEIGHT="450"><BR>
</body>
</html>
EOF
expect_site marked files.cvn MENU.htm 1.htm
expect_site first 2.htm

# d.jpg from the input list onto c.JPG: it goes in just before it.
drag_row "$LISTBOX1" 0 "$LISTBOX2" 4
shot run2-new-file-placed

press "$BUTTON9"
# 旅行 a.jpg 写真 d.jpg c.JPG
shot run2-unselected-removed
expect_shown "$BUTTON9" "非選択消去 after it was pressed"

generate
shot run2-after-generation
quit_corvane

sjis_lines "$expected/final-files.cvn" <<'EOF'
-----旅行-----
a.jpg
-----写真-----
d.jpg
c.JPG
EOF
page_lines "$expected/final-2.htm" <<'EOF'
<html>
<head>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<META NAME="GENERATOR" CONTENT="Corvane ver 1.2">
</head>
<body text="white" bgcolor="black" link="green" vlink="green" alink="green">
<IMG SRC="d.jpg" WIDTH="600" HEIGHT="337"><BR>
<IMG SRC="c.JPG" WIDTH="450" HEIGHT="600"><BR>
</body>
</html>
EOF
cp "$expected/marked-1.htm" "$expected/final-1.htm"
expect_site final files.cvn CASE.HTM BLANK.HTM MENU.htm 1.htm 2.htm
expect_bytes "$site/MENU.HTM" "$expected/MENU.htm"
[[ ! -e $site/3.htm ]] || fail "a third page was written for two headings"

e2e_finish
