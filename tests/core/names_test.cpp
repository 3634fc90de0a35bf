// Colour names, entry forms, case folding of CP932 names, the reload comparison's index,
// path joining and splitting, and the application title.

#include <gtest/gtest.h>

#include "core/application_title.h"
#include "core/byte_text.h"
#include "core/code_page.h"
#include "core/colour_names.h"
#include "core/errors.h"
#include "core/list_entries.h"
#include "core/name_index.h"
#include "core/paths.h"
#include "tests/test_support.h"

namespace corvane {
namespace {

using testing::S;

TEST(ColorNames, OnlyTheSixteenExactNamesAreKnown) {
  EXPECT_EQ(ColorNameToColor("white"), 0xFFFFFFu);
  EXPECT_EQ(ColorNameToColor("navy"), 0x800000u);  // blue 80 in the high byte
  EXPECT_EQ(ColorNameToColor("red"), 0x0000FFu);
  EXPECT_EQ(ColorNameToColor("olive"), 0x008080u);
  for (const char* unknown : {"", "White", "RED", " red", "red ", "reddish", "grey"}) {
    EXPECT_EQ(ColorNameToColor(unknown), 0u) << unknown;
  }
  ASSERT_EQ(kColorNames.size(), 16u);
  EXPECT_EQ(kColorNames[0].name, "aqua");
  EXPECT_EQ(kColorNames[15].name, "yellow");
}

TEST(ListEntries, Forms) {
  EXPECT_TRUE(IsHeading("-----"));
  EXPECT_TRUE(IsHeading("-----title"));
  EXPECT_FALSE(IsHeading("----"));
  EXPECT_EQ(HeadingTitle("-----A-----"), "A");
  EXPECT_EQ(HeadingTitle("----------"), "");
  EXPECT_EQ(HeadingTitle("-----abc"), "");
  EXPECT_EQ(HeadingTitle("-----abcdefg"), "ab");
  EXPECT_EQ(MakeHeading("  "), "-----  -----");

  const std::string marked = WithUnselectedMark("a.txt");
  EXPECT_EQ(marked, S(u8"今回非選択（a.txt）"));
  EXPECT_EQ(marked.substr(0, 10), "\x8D\xA1\x89\xF1\x94\xF1\x91\x49\x91\xF0");
  EXPECT_TRUE(IsMarked(marked));
  EXPECT_TRUE(IsMarked(S(u8"今回非選択.txt")));
  EXPECT_FALSE(IsMarked(S(u8"今回非")));
  EXPECT_FALSE(IsImageEntry(WithUnselectedMark("a.jpg")));
  EXPECT_FALSE(IsTextEntry(WithUnselectedMark("a.txt")));
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return FoldCase(a) == FoldCase(b);
}

TEST(CaseFolding, FoldsLettersButNeverTrailBytes) {
  EXPECT_TRUE(SameIgnoringCase("A.TXT", "a.txt"));
  EXPECT_TRUE(SameIgnoringCase(S(u8"ＡＢＣ.jpg"), S(u8"ａｂｃ.JPG")));
  EXPECT_FALSE(SameIgnoringCase("a.txt", "a.tx"));
  // ア is 0x83 0x41 and チ is 0x83 0x60: trail bytes that look like 'A' and '`'. Folding
  // them as letters would make ア equal 0x83 0x61 (ヂ's neighbour), which it is not.
  EXPECT_FALSE(SameIgnoringCase(S(u8"ア"), "\x83\x61"));
  EXPECT_EQ(FoldCase(S(u8"アA")), S(u8"アa"));
  // 0x82 0x60 (Ａ) folds; 0x82 0x9F (ぁ) does not.
  EXPECT_EQ(FoldCase(S(u8"Ａぁ")), S(u8"ａぁ"));
}

TEST(NameIndex, ExactBeforeFoldedThenFirstFromTheTop) {
  NameIndex index({"b.txt", "A.TXT", "a.txt", "A.txt", "c.jpg"});
  EXPECT_TRUE(index.TakeMatch("a.txt"));  // the exact one, though "A.TXT" comes first
  EXPECT_TRUE(index.TakeMatch("a.txt"));  // then the first that folds equal: "A.TXT"
  EXPECT_TRUE(index.TakeMatch("a.TXT"));  // "A.txt"
  EXPECT_FALSE(index.TakeMatch("a.txt"));
  EXPECT_FALSE(index.TakeMatch("d.jpg"));
  EXPECT_TRUE(index.TakenAny());
  EXPECT_EQ(index.Remaining(), (std::vector<std::string>{"b.txt", "c.jpg"}));

  NameIndex untouched({"x"});
  EXPECT_FALSE(untouched.TakeMatch("-----x-----"));
  EXPECT_FALSE(untouched.TakenAny());
}

TEST(Paths, JoinInsertsTheSeparatorOnlyWhereMissing) {
  EXPECT_EQ(JoinPath("/data/site/", "files.cvn"), "/data/site/files.cvn");
  EXPECT_EQ(JoinPath("/data/site", "files.cvn"), "/data/site/files.cvn");
  EXPECT_EQ(JoinPath("", "files.cvn"), "files.cvn");
  EXPECT_EQ(JoinPath("/", "a"), "/a");
  EXPECT_EQ(WithoutTrailingSeparator("/data/"), "/data");
  EXPECT_EQ(WithoutTrailingSeparator("/"), "/");
}

TEST(Paths, SplitKeepsDoubleByteNamesWhole) {
  auto [folder, name] = SplitFolderAndName(S(u8"/写真/表ソ.jpg"));
  EXPECT_EQ(folder, S(u8"/写真/"));
  EXPECT_EQ(name, S(u8"表ソ.jpg"));
  EXPECT_EQ(SplitFolderAndName("plain").first, "");
}

TEST(CodePage, RefusesWhatCp932CannotHold) {
  EXPECT_EQ(Utf8ToCp932("\xE8\xA1\xA8"), "\x95\x5C");             // 表
  EXPECT_THROW(Utf8ToCp932("\xF0\x9F\x98\x80"), EEncodingError);  // an emoji
  EXPECT_THROW(Utf8ToCp932("\xFF\xFE"), EEncodingError);          // not UTF-8
  EXPECT_THROW(Cp932ToUtf8Strict("\x81"), EEncodingError);        // a lone lead byte
  EXPECT_EQ(Cp932ToUtf8("a\x81"), "a\xEF\xBF\xBD");               // shown, never lost silently
  testing::TempDir dir;
  EXPECT_FALSE(IsExistingFile("\x81\x81\x81"));
}

TEST(ApplicationTitle, NameCutAtTheFirstDotWithTheRestInLowerCase) {
  EXPECT_EQ(ApplicationTitle("/usr/bin/corvane"), "corvane");
  EXPECT_EQ(ApplicationTitle("/opt/CORVANE.EXE"), "Corvane");
  EXPECT_EQ(ApplicationTitle("my.tool.bin"), "my");
  EXPECT_EQ(ApplicationTitle("CorVane"), "Corvane");
}

}  // namespace
}  // namespace corvane
