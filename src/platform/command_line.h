#pragma once

#include <string>
#include <vector>

namespace fwu {

struct CommandLine {
  // The arguments after the program's own name, in UTF-8.
  std::vector<std::string> arguments;
  // Empty unless an argument could not be read; then which one, and why.
  std::string failure;
};

// POSIX hands the arguments over as they were typed. Windows keeps them in
// UTF-16: they are read from the whole command line, split by the system's
// own rules, because the C runtime's argv holds them in the ANSI code page,
// which cannot hold every name.
CommandLine ReadCommandLine(int argc, char** argv);

// The one string Windows hands a new program instead of its arguments:
// each word quoted so that the system's and the C runtime's splitting give
// back the same words (backslashes count only before a quote). argv[0]
// follows the same rules, which hold for a path as Windows allows one.
std::string QuoteCommandLine(const std::vector<std::string>& argv);

}  // namespace fwu
