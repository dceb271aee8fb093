// The command line a Windows child receives: the system splits it back
// into words by its own backslash and quote rules, so every word must come
// back as it was (the Windows child tests split it there for real).
#include <gtest/gtest.h>

#include "platform/command_line.h"

namespace fwu {
namespace {

TEST(QuoteCommandLine, EachWordSurvivesTheSystemsSplitting) {
  const struct {
    std::vector<std::string> argv;
    const char* line;
  } cases[] = {
      {{"fwupgrade-cli.exe", "put", "fw.bin"}, R"(fwupgrade-cli.exe put fw.bin)"},
      {{R"(C:\Program Files\fw\fwupgrade-cli.exe)", "--log", R"(C:\My Logs\a.jsonl)"},
       R"("C:\Program Files\fw\fwupgrade-cli.exe" --log "C:\My Logs\a.jsonl")"},
      {{"a", ""}, R"(a "")"},                                    // an empty word still counts
      {{"a", "say \"hi\""}, R"(a "say \"hi\"")"},                // quotes escaped
      {{"a", R"(C:\dir\)"}, R"(a C:\dir\)"},                     // alone, backslashes are plain
      {{"a", R"(C:\my dir\)"}, R"(a "C:\my dir\\")"},            // doubled before the closing quote
      {{"a", R"(x\"y)"}, R"(a "x\\\"y")"},                       // a backslash before a quote
      {{"a", "tab\there"}, "a \"tab\there\""},
      {{"a", "Pr\xC3\xBC" "fung \xE5\x9B\xBA"}, "a \"Pr\xC3\xBC" "fung \xE5\x9B\xBA\""},  // bytes pass untouched
  };
  for (const auto& c : cases) EXPECT_EQ(QuoteCommandLine(c.argv), c.line) << c.line;
}

}  // namespace
}  // namespace fwu
