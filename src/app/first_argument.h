#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace fwu {

// The options every program answers before it starts anything: with
// "--version" or "--help" in first place it prints and ends with 0, and any
// other first argument that begins with "--" ends it with 2, so that a
// mistyped option never falls through to a search of the LAN. Only the
// first argument counts: a password or file name further on may begin with
// "--". Returns the exit status, or nothing when the program should start.
std::optional<int> AnswerFirstArgument(const std::string& program, const std::string& usage,
                                       const std::vector<std::string>& arguments, std::ostream& out,
                                       std::ostream& err);

// The windows' --help: both take the console's command line.
inline constexpr const char* kWindowUsage = R"(usage: fwupgrade [put|set ADDRESS PASSWORD ROMID [FILE] [log]]
       fwupgrade get ADDRESS PASSWORD ROMID OFFSET LENGTH FILE
       fwupgrade --version | --help

The upgrade program's window: the same command line as fwupgrade-cli, which
describes the operations. Without arguments it searches the LAN.

  --version  print the version and the build's commit and date
  --help     print this help
)";

// "fwbundle 1.1.1 (commit 0123456789, built 2026-01-31)"
std::string VersionLine(const std::string& program);

}  // namespace fwu
