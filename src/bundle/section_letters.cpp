#include "bundle/section_letters.h"

namespace fwu {

char SectionLetter(int section) {
  if (section >= 1 && section <= 13) return static_cast<char>('A' + section - 1);
  if (section == 14) return 'T';
  if (section == 15) return 'X';
  return '\0';
}

void AddSectionLetter(std::string& letters, int section) {
  const char letter = SectionLetter(section);
  if (letter == '\0' || letters.find(letter) != std::string::npos) return;
  if (letters.size() < kMaxSectionLetters) letters.push_back(letter);
}

}  // namespace fwu
