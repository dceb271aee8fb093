// Short documents in the shapes that word processors write, each with the
// text and the styles a reader must take from it.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "notice/rtf_reader.h"
#include "platform/bytes.h"

namespace fwu {
namespace {

struct Sample {
  const char* writer;
  std::string rtf;
  std::string plain;
  std::function<void(const StyledText&)> styles;
};

const TextRun& RunOf(const StyledText& text, std::size_t paragraph, std::size_t run) {
  return text.paragraphs.at(paragraph).runs.at(run);
}

const Sample kSamples[] = {
    {"WordPad on a Chinese Windows: GBK text in a GB2312 font named in GBK",
     "{\\rtf1\\ansi\\ansicpg936\\deff0\\nouicompat\\deflang1033\\deflangfe2052{\\fonttbl{\\f0\\fnil\\fcharset134 "
     "\\'cb\\'ce\\'cc\\'e5;}{\\f1\\fnil\\fcharset0 Calibri;}}\r\n{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 "
     "\r\n\\pard\\sa200\\sl276\\slmult1\\b\\f0\\fs28\\lang2052\\'b9\\'d8\\'d3\\'da\\b0\\f1\\lang1033  v2.0\\par\r\n"
     "\\f0\\lang2052\\'c7\\'eb\\'ce\\'f0\\'b6\\'cf\\'b5\\'e7\\'a1\\'a3\\par\r\n}\r\n\0",
     "关于 v2.0\n请勿断电。\n",
     [](const StyledText& text) {
       EXPECT_EQ(text.codePage, 936u);
       EXPECT_EQ(RunOf(text, 0, 0).style.fontName, "宋体");
       EXPECT_TRUE(RunOf(text, 0, 0).style.bold);
       EXPECT_EQ(RunOf(text, 0, 0).style.halfPoints, 28);
       EXPECT_EQ(text.paragraphs[0].spaceAfter, 200);
     }},
    {"WordPad on a Polish Windows: a font without a character set follows \\ansicpg",
     "{\\rtf1\\ansi\\ansicpg1250\\deff0\\nouicompat\\deflang1045{\\fonttbl{\\f0\\fnil Calibri;}}\r\n"
     "\\pard\\sa200\\f0\\fs22\\lang21 Nie wy\\'b3\\'b9czaj routera!\\par\r\n}",
     "Nie wyłączaj routera!\n", nullptr},
    {"Word on a Russian Windows: the font's character set wins over \\ansicpg",
     "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}"
     "{\\f1\\froman\\fcharset204 Times New Roman CYR;}}\\pard\\plain\\f1\\'ce\\'e1\\'ed\\'ee\\'e2\\'eb\\'e5\\'ed"
     "\\'e8\\'e5 {\\f0 caf\\'e9}\\par}",
     "Обновление café\n", nullptr},
    {"Japanese Shift-JIS: trail bytes that read as \\ and {, escaped, raw and mixed",
     "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 MS Gothic;}}\\f0 "
     "\\'95\\'5c\\'83\\\\\x94\\\x83{\\'82\xa0\x83\\'7b end\\par}",
     "表ソ能ボあボ end\n", nullptr},
    {"Symbol and Wingdings bullets, as list text and as private-use characters",
     "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset2 Symbol;}"
     "{\\f2\\fnil\\fcharset2 Wingdings;}}{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\leveltext\\'01\\u-3913 ?;}}}"
     "{\\listtext\\pard\\plain\\f1 \\'b7\\tab}\\pard\\fi-360\\li720\\f0 First\\par"
     "{\\listtext\\pard\\plain\\f2 \\'fc\\tab}Checked\\par"
     "{\\pntext\\f2\\'d8\\tab}{\\*\\pn\\pnlvlblt\\pnf2{\\pntxtb\\'d8}}Arrow {\\f1 a\\'b3b}\\par"
     "\\pard{\\f1\\u-3913 ?} private {\\f2 A}\\par}",
     "•\tFirst\n✓\tChecked\n➢\tArrow α≥β\n• private \xEF\xBF\xBD\n",
     [](const StyledText& text) {
       EXPECT_EQ(RunOf(text, 0, 0).style.fontName, "") << "a symbol font's characters need no symbol font";
       EXPECT_EQ(RunOf(text, 0, 1).style.fontName, "Arial");
       EXPECT_EQ(text.paragraphs[0].firstLineIndent, -360);
       EXPECT_EQ(text.paragraphs[0].leftIndent, 720);
     }},
    {"A table whose last row holds a nested table",
     "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\r\n"
     "\\trowd\\cellx2000\\cellx4000\\pard\\intbl Model\\cell Version\\cell\\row\r\n"
     "\\trowd\\cellx2000\\cellx4000\\pard\\intbl R1\\cell\\cell 2.0\\cell\\row\r\n"
     "\\pard\\intbl\\itap1 Ports\\cell\\pard\\intbl\\itap2 LAN\\nestcell 4\\nestcell"
     "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}{\\nonesttables\\par}"
     "\\pard\\intbl\\itap2 WAN\\nestcell 1\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}"
     "{\\nonesttables\\par}\\pard\\intbl\\itap1\\cell\\trowd\\cellx2000\\cellx4000\\row\r\n"
     "\\pard After\\par}",
     "Model\tVersion\nR1\t\t2.0\nPorts\tLAN\t4\nWAN\t1\nAfter\n", nullptr},
    {"Hidden text, and nothing after the document's closing brace",
     "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Visible {\\v hidden note }text\\v  gone\\v0 .\\par}"
     "{\\rtf1 second document}",
     "Visible text.\n", nullptr},
    {"Character and paragraph formats",
     "{\\rtf1\\ansi{\\colortbl;\\red255\\green255\\blue0;}\\pard\\qc\\li720\\ri360\\fi-240\\sb120\\sa240 "
     "{\\caps caps}{\\strike struck}H{\\sub 2}O x{\\super 2}{\\highlight1 marked}\\par\\pard plain\\par}",
     "capsstruckH2O x2marked\nplain\n",
     [](const StyledText& text) {
       const Paragraph& first = text.paragraphs[0];
       EXPECT_EQ(static_cast<const ParagraphFormat&>(first),
                 (ParagraphFormat{Alignment::Centre, 720, 360, -240, 120, 240}));
       EXPECT_EQ(static_cast<const ParagraphFormat&>(text.paragraphs[1]), ParagraphFormat{}) << "\\pard";
       EXPECT_TRUE(first.runs[0].style.capitals);
       EXPECT_TRUE(first.runs[1].style.strike);
       EXPECT_EQ(first.runs[3].style.position, VerticalPosition::Subscript);
       EXPECT_EQ(first.runs[5].style.position, VerticalPosition::Superscript);
       EXPECT_EQ(first.runs[6].style.highlight, (TextColour{255, 255, 0}));
       EXPECT_EQ(first.runs[4].style, CharacterStyle{}) << "each format ended with its group";
     }},
    {"Macintosh and DOS character sets", "{\\rtf1\\mac caf\\'8e}", "café\n", nullptr},
    {"DOS character set", "{\\rtf1\\pc caf\\'82}", "café\n", nullptr},
};

TEST(RtfSamples, EachWritersDocumentYieldsItsTextAndStyles) {
  for (const Sample& sample : kSamples) {
    SCOPED_TRACE(sample.writer);
    const Bytes bytes = ToBytes(sample.rtf);
    const StyledText text = ReadRtf(bytes);
    EXPECT_EQ(text.PlainText(), sample.plain);
    if (sample.styles) sample.styles(text);
  }
}

}  // namespace
}  // namespace fwu
