#include "core/errors.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/test_support.h"

namespace corvane {
namespace {

using testing::S;

TEST(ErrorReport, PeriodRuleLooksAtTheLastCharacter) {
  EXPECT_EQ(ErrorReportText(S(u8"行を挿入できません")), S(u8"行を挿入できません."));
  EXPECT_EQ(ErrorReportText(S(u8"I/O エラー (32)")), S(u8"I/O エラー (32)"));
  EXPECT_EQ(ErrorReportText(S(u8"リストのインデックスが範囲を超えています (0)")),
            S(u8"リストのインデックスが範囲を超えています (0)"));
  EXPECT_EQ(ErrorReportText(S(u8"JPEG エラー #42")), S(u8"JPEG エラー #42."));
  EXPECT_EQ(ErrorReportText("done."), "done.");
  EXPECT_EQ(ErrorReportText("a-"), "a-");
  EXPECT_EQ(ErrorReportText(""), "");
  // A double-byte character whose trail byte is ')' (0x81 0x29 is not valid CP932, but
  // 0x95 0x5C is 表, whose trail byte is '\'): the character counts as one, by its lead.
  EXPECT_EQ(ErrorReportText(S(u8"表")), S(u8"表."));
  EXPECT_EQ(ErrorReportText(std::string("a\x81\x29")), std::string("a\x81\x29."));
}

TEST(ErrorReport, IoMessages) {
  EXPECT_EQ(IoErrorMessage(2), S(u8"ファイルが見つかりません"));
  EXPECT_EQ(IoErrorMessage(3), S(u8"不正なファイル名です"));
  EXPECT_EQ(IoErrorMessage(4), S(u8"オープンしたファイルが多すぎます"));
  EXPECT_EQ(IoErrorMessage(5), S(u8"ファイルへのアクセスが拒否されました"));
  EXPECT_EQ(IoErrorMessage(100), S(u8"ファイルの末尾以降を読み込みました"));
  EXPECT_EQ(IoErrorMessage(101), S(u8"ディスクがいっぱいです"));
  EXPECT_EQ(IoErrorMessage(106), S(u8"入力値が数値ではありません"));
  EXPECT_EQ(IoErrorMessage(112), S(u8"I/O エラー (112)"));
}

}  // namespace
}  // namespace corvane
