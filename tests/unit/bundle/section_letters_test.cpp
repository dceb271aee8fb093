#include <gtest/gtest.h>

#include "bundle/section_letters.h"

namespace fwu {
namespace {

TEST(SectionLetters, NumbersMapOntoTheirLetters) {
  EXPECT_EQ(SectionLetter(1), 'A');
  EXPECT_EQ(SectionLetter(2), 'B');
  EXPECT_EQ(SectionLetter(13), 'M');
  EXPECT_EQ(SectionLetter(14), 'T');
  EXPECT_EQ(SectionLetter(15), 'X');
  EXPECT_EQ(SectionLetter(0), '\0');
  EXPECT_EQ(SectionLetter(16), '\0');
  EXPECT_EQ(SectionLetter(-1), '\0');
}

TEST(SectionLetters, ListsHoldEachLetterOnceInOrderOfFirstSight) {
  std::string letters;
  for (const int section : {2, 0, 2, 15, 1, 15}) AddSectionLetter(letters, section);
  EXPECT_EQ(letters, "BXA");
  std::string all;
  for (int round = 0; round < 2; ++round) {
    for (int section = 15; section >= 0; --section) AddSectionLetter(all, section);
  }
  EXPECT_EQ(all, "XTMLKJIHGFEDCBA");
  EXPECT_EQ(all.size(), kMaxSectionLetters);
}

}  // namespace
}  // namespace fwu
