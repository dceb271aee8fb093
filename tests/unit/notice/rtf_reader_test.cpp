#include "notice/rtf_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/bytes.h"

namespace fwu {
namespace {

StyledText Read(const std::string& rtf) {
  const Bytes bytes = ToBytes(rtf);  // exactly the input's size, for the sanitizer
  return ReadRtf(bytes);
}

std::string Plain(const std::string& rtf) { return Read(rtf).PlainText(); }

// Runs of the first paragraph.
std::vector<TextRun> Runs(const std::string& rtf) {
  const StyledText text = Read(rtf);
  return text.paragraphs.empty() ? std::vector<TextRun>{} : text.paragraphs[0].runs;
}

TEST(ReadRtf, TextEscapesAndSymbolsBecomeTheirCharacters) {
  struct Case {
    const char* rtf;
    const char* plain;
  };
  const Case cases[] = {
      {"{\\rtf1\\ansi Hello\\par World}", "Hello\nWorld\n"},
      {"{\\rtf1 a\\'e9b\\'80\\'FC}", "a\xC3\xA9" "b\xE2\x82\xAC\xC3\xBC\n"},
      {"{\\rtf1 \\{x\\}\\\\ \\~y\\-z\\_w}", "{x}\\ \xC2\xA0yz\xE2\x80\x91w\n"},
      {"{\\rtf1 \\u8364?x\\uc2\\u8212--y\\uc0\\u233 z}", "\xE2\x82\xAC" "x\xE2\x80\x94y\xC3\xA9z\n"},
      {"{\\rtf1 \\u233\\'e9 done}", "\xC3\xA9 done\n"},
      {"{\\rtf1 \\u-10179?\\u-8576?}", "\xF0\x9F\x9A\x80\n"},
      {"{\\rtf1 \\u-10179?x}", "\xEF\xBF\xBDx\n"},
      {"{\\rtf1 {\\uc3 \\u233 ab}cd}", "\xC3\xA9" "cd\n"},
      {"{\\rtf1 a\\line b\\tab c\\emdash\\bullet}", "a\nb\tc\xE2\x80\x94\xE2\x80\xA2\n"},
      {"{\\rtf1 a\r\nb\\\nc}", "ab\nc\n"},
      {"{\\rtf1 a}}b", "a\n"},
      {"{\\rtf1 a{\\v hidden}b\\v c\\v0 d}", "abd\n"},
      {"{\\rtf1 \\aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa x\\unknown5 y\\'zz}", "xyzz\n"},
      {"Plain\r\nnotice", "Plain\nnotice\n"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Plain(c.rtf), c.plain) << c.rtf;
}

TEST(ReadRtf, DestinationsThatAreNotTextAreSkipped) {
  EXPECT_EQ(Plain("{\\rtf1{\\*\\generator Writer;}{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}"
                  "{\\pict\\bin3 }}}}{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}} text}"),
            "link text\n");
  EXPECT_EQ(Plain("{\\rtf1 a\\bin2 }}b}"), "ab\n") << "binary data is not text, braces in it included";
}

TEST(ReadRtf, TheFontAndColourTablesNameTheFontsAndColoursOfRuns) {
  const std::vector<TextRun> runs =
      Runs("{\\rtf1\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman{\\*\\panose 02}Times New Roman;}}"
           "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
           "plain \\f1\\cf1 red\\cf2 blue\\cf0 auto\\cf9 missing}");
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_EQ(runs[0].text, "plain ");
  EXPECT_EQ(runs[0].style.fontName, "Arial") << "the default font";
  EXPECT_FALSE(runs[0].style.colour.has_value());
  EXPECT_EQ(runs[1].text, "red");
  EXPECT_EQ(runs[1].style.fontName, "Times New Roman");
  EXPECT_EQ(runs[1].style.colour, (TextColour{255, 0, 0}));
  EXPECT_EQ(runs[2].style.colour, (TextColour{0, 0, 255}));
  EXPECT_EQ(runs[3].text, "automissing") << "the table's empty entry and an unknown index both mean no colour";
  EXPECT_FALSE(runs[3].style.colour.has_value());
}

TEST(ReadRtf, CharacterFormattingFollowsControlWordsAndGroups) {
  const std::vector<TextRun> runs =
      Runs("{\\rtf1 \\b b\\b0 \\i i\\i0 \\ul u\\ulnone {\\fs40 big{\\b\\ul bold}}\\plain\\b x\\plain y"
           "\\fs99999999999 z}");
  ASSERT_EQ(runs.size(), 8u);
  const auto style = [&runs](std::size_t i) { return runs[i].style; };
  EXPECT_TRUE(style(0).bold && !style(0).italic);
  EXPECT_TRUE(style(1).italic && !style(1).bold);
  EXPECT_TRUE(style(2).underline && !style(2).italic);
  EXPECT_EQ(runs[3].text, "big");
  EXPECT_EQ(style(3).halfPoints, 40);
  EXPECT_FALSE(style(3).underline);
  EXPECT_TRUE(style(4).bold && style(4).underline);
  EXPECT_EQ(style(4).halfPoints, 40);
  EXPECT_TRUE(style(5).bold) << "the group ended, \\b then set bold again";
  EXPECT_EQ(style(5).halfPoints, CharacterStyle::kDefaultHalfPoints);
  EXPECT_EQ(style(6), CharacterStyle{}) << "\\plain resets everything";
  EXPECT_EQ(style(7).halfPoints, 3276);
}

TEST(ReadRtf, ParagraphsKeepTheirAlignment) {
  const StyledText text = Read("{\\rtf1\\qc c\\par\\pard l\\par\\qr r\\par\\qj j}");
  ASSERT_EQ(text.paragraphs.size(), 4u);
  EXPECT_EQ(text.paragraphs[0].alignment, Alignment::Centre);
  EXPECT_EQ(text.paragraphs[1].alignment, Alignment::Left);
  EXPECT_EQ(text.paragraphs[2].alignment, Alignment::Right);
  EXPECT_EQ(text.paragraphs[3].alignment, Alignment::Justified);
}

TEST(ReadRtf, DeepNestingIsReadWithBoundedState) {
  const std::string deep = "{\\rtf1" + std::string(100'000, '{') + "\\b deep" + std::string(100'000, '}') + " end}";
  const std::vector<TextRun> runs = Runs(deep);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].text, "deep");
  EXPECT_EQ(runs[1].text, " end");
  EXPECT_FALSE(runs[1].style.bold) << "every group closed again";
}

TEST(ReadRtf, ReadsNothingBeyondItsSpan) {
  const std::string buffer = "{\\rtf1 ab\\'e9}";
  const auto* data = reinterpret_cast<const std::uint8_t*>(buffer.data());
  EXPECT_EQ(ReadRtf(std::span(data, buffer.size() - 2)).PlainText(), "ab\n");
  EXPECT_EQ(ReadRtf(std::span(data, buffer.size() - 6)).PlainText(), "a\n");
}

// Every prefix of a document that uses every feature, and random input,
// each in a buffer of exactly its size: no crash, no overread (the
// sanitizer build checks), and output bounded by the input.
void ExpectSound(const Bytes& input, const std::string& label) {
  const StyledText text = ReadRtf(input);
  std::size_t produced = 0;
  for (const Paragraph& paragraph : text.paragraphs) {
    for (const TextRun& run : paragraph.runs) produced += run.text.size();
  }
  EXPECT_LE(produced, 3 * input.size()) << label;
  EXPECT_LE(text.paragraphs.size(), input.size()) << label;
}

TEST(ReadRtf, EveryTruncationAndRandomInputIsReadSoundly) {
  const std::string full =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}{\\*\\x y}"
      "\\qc\\b\\i\\ul\\fs30\\cf1 a\\'e9\\u8364?\\uc2\\u-10179??\\u-8576??\\bin3 {}\\line\\tab\\par\\pard z}";
  for (std::size_t keep = 0; keep <= full.size(); ++keep) {
    ExpectSound(ToBytes(full.substr(0, keep)), "prefix " + std::to_string(keep));
  }
  std::mt19937 random(20261209);
  const std::string alphabet = "{}\\\\\\'-;*0123456789abcdefuclqrtxbin ";
  for (int round = 0; round < 3000; ++round) {
    Bytes input(random() % 300);
    for (std::uint8_t& byte : input) {
      byte = random() % 4 == 0 ? static_cast<std::uint8_t>(random()) : alphabet[random() % alphabet.size()];
    }
    if (round % 2 == 0) input.insert(input.begin(), {'{', '\\', 'r', 't', 'f'});
    ExpectSound(input, "round " + std::to_string(round));
  }
}

}  // namespace
}  // namespace fwu
