// The conversion at the Windows boundary: every name that goes out as
// UTF-16 comes back as the same UTF-8 bytes, and what has no counterpart is
// refused with the place it was found, never passed on changed.
#include <gtest/gtest.h>

#include "platform/utf16.h"

namespace fwu {
namespace {

struct RoundTrip {
  const char* utf8;
  std::u16string utf16;
};

TEST(Utf16Conversion, NamesOfEveryWidthGoThereAndBack) {
  const RoundTrip cases[] = {
      {"", u""},
      {"fw.bin", u"fw.bin"},
      {"Pr\xC3\xBC" "fung", u"Pr\u00FCfung"},                            // two bytes
      {"\xD0\x9F\xD1\x80\xD0\xBE\xD1\x88", u"\u041F\u0440\u043E\u0448"},  // Cyrillic
      {"\xE5\x9B\xBA\xE4\xBB\xB6", u"\u56FA\u4EF6"},                      // Chinese, three bytes
      {"\xF0\x9F\x93\xA6", u"\xD83D\xDCE6"},                              // beyond the first plane: a pair
      {"\xEF\xBF\xBF\xF4\x8F\xBF\xBF", u"\xFFFF\xDBFF\xDFFF"},            // the largest of each width
  };
  for (const auto& c : cases) {
    const auto wide = Utf8ToUtf16(c.utf8);
    ASSERT_TRUE(wide) << c.utf8 << ": " << wide.failure;
    EXPECT_EQ(wide.text, c.utf16) << c.utf8;
    const auto back = Utf16ToUtf8(c.utf16);
    ASSERT_TRUE(back) << back.failure;
    EXPECT_EQ(back.text, c.utf8);
  }
}

TEST(Utf16Conversion, UnpairedSurrogatesAreRefusedWithTheirPlace) {
  const struct {
    std::u16string utf16;
    const char* failure;
  } cases[] = {
      {u"fw\xD83D.bin", "unpaired surrogate U+D83D at position 2"},  // high, then no low
      {u"\xDCE6" "fw", "unpaired surrogate U+DCE6 at position 0"},   // low first
      {u"fw\xD83D", "unpaired surrogate U+D83D at position 2"},       // high at the end
      {u"\xD83D\xD83D\xDCE6", "unpaired surrogate U+D83D at position 0"},
  };
  for (const auto& c : cases) {
    const auto refused = Utf16ToUtf8(c.utf16);
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.failure, c.failure);
    EXPECT_TRUE(refused.text.empty()) << "no half-converted name may be used";
  }
  EXPECT_EQ(Utf16ToUtf8(u"a\xD83D" "b", InvalidText::Replace).text, "a\xEF\xBF\xBD" "b");
}

TEST(Utf16Conversion, BytesThatAreNotUtf8AreRefusedWithTheirPlace) {
  const struct {
    const char* utf8;
    const char* failure;
  } cases[] = {
      {"Pr\xFC" "fung", "not UTF-8 at byte 2"},        // Latin-1, as an ANSI name would be
      {"ab\xC3", "not UTF-8 at byte 2"},                // cut short
      {"\x80" "ab", "not UTF-8 at byte 0"},             // a continuation with no lead
      {"\xC0\xAF", "not UTF-8 at byte 0"},              // overlong '/': a separator in disguise
      {"\xE0\x80\xAF", "not UTF-8 at byte 0"},          // overlong in three bytes
      {"x\xED\xA0\xBD", "not UTF-8 at byte 1"},         // an encoded surrogate
      {"\xF4\x90\x80\x80", "not UTF-8 at byte 0"},      // past U+10FFFF
  };
  for (const auto& c : cases) {
    const auto refused = Utf8ToUtf16(c.utf8);
    EXPECT_FALSE(refused) << c.utf8;
    EXPECT_EQ(refused.failure, c.failure) << c.utf8;
  }
  EXPECT_EQ(Utf8ToUtf16("Pr\xFC" "fung", InvalidText::Replace).text, u"Pr\uFFFDfung");
}

TEST(Utf16Conversion, AnUnfinishedSequenceAtTheEndIsHeldBack) {
  EXPECT_EQ(IncompleteUtf8Tail("abc"), 0u);
  EXPECT_EQ(IncompleteUtf8Tail("ab\xE5"), 1u);
  EXPECT_EQ(IncompleteUtf8Tail("ab\xE5\x9B"), 2u);
  EXPECT_EQ(IncompleteUtf8Tail("ab\xE5\x9B\xBA"), 0u);
  EXPECT_EQ(IncompleteUtf8Tail("\xF0\x9F\x93"), 3u);
  EXPECT_EQ(IncompleteUtf8Tail("\xF0\x9F\x93\xA6"), 0u);
  EXPECT_EQ(IncompleteUtf8Tail("\x80\x80"), 0u) << "stray bytes are not held forever";
}

}  // namespace
}  // namespace fwu
