#pragma once

#include <cstddef>
#include <string>

namespace fwu {

// A section number (bits 4-7 of an attribute word) names part of a router's
// flash. Sections 1-13 are 'A'-'M', 14 is 'T', 15 is 'X'; 0 has no letter.
// Returns '\0' for numbers without a letter.
char SectionLetter(int section);

// The letters of a bundle or a run: each at most once, so never more than 15.
inline constexpr std::size_t kMaxSectionLetters = 15;

// Appends the section's letter unless it has none or is already listed.
void AddSectionLetter(std::string& letters, int section);

}  // namespace fwu
