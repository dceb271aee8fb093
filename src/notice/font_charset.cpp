#include "notice/font_charset.h"

#include <algorithm>
#include <array>
#include <utility>

namespace fwu {

namespace {

// Sorted by character set, for the binary search.
constexpr std::array<std::pair<int, unsigned>, 23> kCodePages = {{
    {0, 1252},     // ANSI
    {77, 10000},   // Macintosh
    {88, 10029},   // Macintosh Central European
    {89, 10007},   // Macintosh Cyrillic
    {128, 932},    // Shift-JIS
    {129, 949},    // Hangul
    {130, 1361},   // Johab
    {134, 936},    // GB2312
    {136, 950},    // Big5
    {161, 1253},   // Greek
    {162, 1254},   // Turkish
    {163, 1258},   // Vietnamese
    {177, 1255},   // Hebrew
    {178, 1256},   // Arabic
    {179, 1256},   // Arabic traditional
    {180, 1256},   // Arabic user
    {181, 1255},   // Hebrew user
    {186, 1257},   // Baltic
    {204, 1251},   // Russian
    {222, 874},    // Thai
    {238, 1250},   // Eastern European
    {254, 437},    // PC 437
    {255, 437},    // OEM: the United States one
}};

static_assert(std::is_sorted(kCodePages.begin(), kCodePages.end()));

}  // namespace

std::optional<unsigned> CodePageOfCharset(int charset) {
  const auto found = std::lower_bound(kCodePages.begin(), kCodePages.end(), charset,
                                      [](const auto& entry, int key) { return entry.first < key; });
  if (found == kCodePages.end() || found->first != charset) return std::nullopt;
  return found->second;
}

}  // namespace fwu
