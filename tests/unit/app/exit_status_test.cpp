#include "app/exit_status.h"

#include "unit/app/form_fixture.h"

namespace fwu::testing {
namespace {

struct ExitCase {
  const char* name;
  std::vector<std::string> arguments;
  RunDriver driver;
  bool endedByRequest;
  int expected;
};

class ExitStatusTest : public FormTest, public ::testing::WithParamInterface<ExitCase> {};

// The runs end without success here: what tells them apart is who drove
// them. A success gives 0 to every driver (the Wine window tests).
TEST_P(ExitStatusTest, TheStatusTellsAScriptWhatBecameOfTheRun) {
  const ExitCase& c = GetParam();
  auto& form = MakeForm(c.arguments, WriteDeliveredProgram());
  form.FormCreate();
  search_.pingAnswers = false;
  form.FormActivate();
  loop_.AdvanceMs(1000);  // an unattended start begins at the timer's tick
  EXPECT_EQ(ExitStatus(form, c.endedByRequest, c.driver), c.expected);
}

const std::vector<std::string> kPutToNobody{"put", "10.1.1.1", "pw", "null"};
const std::vector<std::string> kGetFromNobody{"get", "10.1.1.1", "pw", "null", "0", "9", "r.bin"};

INSTANTIATE_TEST_SUITE_P(
    Cases, ExitStatusTest,
    ::testing::Values(ExitCase{"WindowTheUserDrove", {}, RunDriver::WindowUser, false, kExitSucceeded},
                      ExitCase{"ConsoleThatDidNothing", {}, RunDriver::Program, false, kExitFailed},
                      ExitCase{"UnattendedWindowPutFailed", kPutToNobody, RunDriver::WindowUser, false, kExitFailed},
                      ExitCase{"UnattendedWindowGetFailed", kGetFromNobody, RunDriver::WindowUser, false, kExitFailed},
                      ExitCase{"WindowEndedByRequest", {}, RunDriver::WindowUser, true, kExitFailed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExitStatusTest, AFailedStartIsTwoForEveryDriver) {
  auto& form = MakeForm({}, ScratchPath("no-such-program"));
  form.FormCreate();
  ASSERT_TRUE(form.StartupFailed());
  EXPECT_EQ(ExitStatus(form, false, RunDriver::WindowUser), kExitBadStart);
  EXPECT_EQ(ExitStatus(form, false, RunDriver::Program), kExitBadStart);
}

}  // namespace
}  // namespace fwu::testing
