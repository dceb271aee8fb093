#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace fwu {
namespace {

// The system's own converter, in both directions, on each system.
TEST(CodePage, EncodesWhatItHoldsAndRefusesWhatItDoesNot) {
  struct Case {
    unsigned codePage;
    std::string utf8;
    std::optional<std::string> encoded;
  };
  const Case cases[] = {
      {1252, "Mise à jour", "Mise \xE0 jour"},
      {1251, "Внимание", "\xC2\xED\xE8\xEC\xE0\xED\xE8\xE5"},
      {932, "表", "\x95\x5C"},
      {1252, "关于", std::nullopt},
      {1250, "Ω", std::nullopt},
  };
  for (const Case& c : cases) {
    const auto codePage = CodePage::Open(c.codePage);
    ASSERT_NE(codePage, nullptr) << c.codePage;
    EXPECT_EQ(codePage->Encode(c.utf8), c.encoded) << c.codePage << " " << c.utf8;
  }
}

TEST(CodePage, KnowsItsLeadBytesAndWhatSingleBytesMean) {
  const auto shiftJis = CodePage::Open(932);
  const auto western = CodePage::Open(1252);
  ASSERT_TRUE(shiftJis && western);
  EXPECT_TRUE(shiftJis->IsLeadByte(0x95));
  EXPECT_FALSE(shiftJis->IsLeadByte(0xB1)) << "a half-width katakana stands alone";
  EXPECT_EQ(shiftJis->Single(0xB1), U'\uFF71');
  EXPECT_EQ(shiftJis->Double(0x83, 0x7B), U'ボ');
  EXPECT_EQ(shiftJis->Double(0x95, 0x0A), CodePage::kReplacement);
  EXPECT_FALSE(western->IsLeadByte(0x95));
  EXPECT_EQ(western->Single(0x80), U'€');
  EXPECT_EQ(western->Single(0x81), CodePage::kReplacement) << "unassigned, whatever the system makes of it";
  EXPECT_EQ(CodePage::Open(4242), nullptr);
}

}  // namespace
}  // namespace fwu
