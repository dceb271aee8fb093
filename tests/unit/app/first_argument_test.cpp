#include "app/first_argument.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/build_info.h"

namespace fwu {
namespace {

struct Answer {
  std::optional<int> status;
  std::string out;
  std::string err;
};

Answer AnswerFor(const std::vector<std::string>& arguments) {
  std::ostringstream out;
  std::ostringstream err;
  const auto status = AnswerFirstArgument("prog", "usage: prog\n", arguments, out, err);
  return {status, out.str(), err.str()};
}

TEST(FirstArgument, VersionAndHelpEndTheProgramWithSuccess) {
  const Answer version = AnswerFor({"--version", "put"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("prog ") + build::kVersion + " (commit " + build::kCommit + ", built " +
                             build::kDate + ")\n");
  const Answer help = AnswerFor({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out, "usage: prog\n");
}

TEST(FirstArgument, AnUnknownOptionIsAUsageErrorOnStderr) {
  for (const std::string option : {"--verbose", "--", "--Version", "--help=1"}) {
    const Answer answer = AnswerFor({option});
    EXPECT_EQ(answer.status, 2) << option;
    EXPECT_TRUE(answer.out.empty()) << option;
    EXPECT_NE(answer.err.find("unknown option " + option), std::string::npos) << option;
  }
}

// A password, ROM ID or file name may begin with dashes; a single dash is
// not an option either.
TEST(FirstArgument, OnlyTheFirstArgumentIsLookedAt) {
  EXPECT_EQ(AnswerFor({}).status, std::nullopt);
  EXPECT_EQ(AnswerFor({"put", "--version", "--help", "--x"}).status, std::nullopt);
  EXPECT_EQ(AnswerFor({"-version"}).status, std::nullopt);
  EXPECT_EQ(AnswerFor({"PUT"}).status, std::nullopt);
}

}  // namespace
}  // namespace fwu
