// Times the reading of a 64 KB notice written on a Chinese Windows: 5,000
// double-byte characters, most of them different, as \'hh pairs among
// formatted Western text. The
// first read includes opening the code pages' converters, which happens
// once per run; the others show what each further notice costs.
// Usage: bench_notice_read [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>

#include "notice/rtf_reader.h"
#include "platform/bytes.h"

namespace {

constexpr std::size_t kDocumentBytes = 64 * 1024;
constexpr int kDoubleByteCharacters = 5000;

// Characters of the GB2312 level-one range in turn, so that most of them
// are met only once or twice, as in real prose.
std::string HexPair(int lead, int trail) {
  constexpr const char* kDigits = "0123456789abcdef";
  std::string escaped;
  for (const int byte : {lead, trail}) escaped += std::string("\\'") + kDigits[byte >> 4] + kDigits[byte & 15];
  return escaped;
}

std::string ChineseNotice() {
  constexpr int kTrailBytes = 94;  // 0xA1 to 0xFE
  constexpr int kLeadBytes = 40;   // 0xB0 to 0xD7
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
      "{\\f1\\fswiss\\fcharset0 Arial;}}{\\colortbl;\\red200\\green0\\blue0;}\\viewkind4\\uc1\\pard\\sa200\\f0 ";
  const std::string western = "{\\f1\\b Firmware\\b0  upgrade, \\cf1 do not switch off\\cf0 .}\\par ";
  for (int written = 0; written < kDoubleByteCharacters; ++written) {
    rtf += HexPair(0xB0 + (written / kTrailBytes) % kLeadBytes, 0xA1 + written % kTrailBytes);
    if (written % 40 == 39) rtf += western;
  }
  while (rtf.size() + western.size() + 1 < kDocumentBytes) rtf += western;
  return rtf + "}";
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  const fwu::Bytes document = fwu::ToBytes(ChineseNotice());
  using Clock = std::chrono::steady_clock;
  double first = 0;
  double best = 0;
  std::size_t characters = 0;
  for (int run = 0; run < runs; ++run) {
    const auto start = Clock::now();
    const fwu::StyledText text = fwu::ReadRtf(document);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (run == 0) {
      first = ms;
      characters = text.PlainText().size();
    }
    best = run == 0 ? ms : std::min(best, ms);
  }
  std::cout << "notice: " << document.size() << " bytes, " << kDoubleByteCharacters
            << " double-byte characters, " << characters << " bytes of text\n"
            << "first read (opens the converters): " << first << " ms\n"
            << "best of " << runs << " reads: " << best << " ms\n";
  return 0;
}
