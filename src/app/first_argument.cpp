#include "app/first_argument.h"

#include "app/build_info.h"

namespace fwu {

std::string VersionLine(const std::string& program) {
  return program + " " + build::kVersion + " (commit " + build::kCommit + ", built " + build::kDate + ")";
}

std::optional<int> AnswerFirstArgument(const std::string& program, const std::string& usage,
                                       const std::vector<std::string>& arguments, std::ostream& out,
                                       std::ostream& err) {
  if (arguments.empty() || !arguments[0].starts_with("--")) return std::nullopt;
  if (arguments[0] == "--version") {
    out << VersionLine(program) << '\n';
    return 0;
  }
  if (arguments[0] == "--help") {
    out << usage;
    return 0;
  }
  err << program << ": unknown option " << arguments[0] << "\n" << usage;
  return 2;
}

}  // namespace fwu
