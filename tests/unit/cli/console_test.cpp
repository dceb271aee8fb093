#include <sstream>

#include "cli/console_prompts.h"
#include "cli/console_view.h"
#include "unit/app/form_fixture.h"

namespace fwu::testing {
namespace {

TEST(ConsoleProgressBar, StaysFullAtAndPastItsMaximum) {
  MainWindowModels models;
  std::ostringstream out, err;
  ConsoleView view(models, out, err, true);
  models.ProgressBar1.SetMax(100);
  models.ProgressBar1.SetPosition(100);
  const std::string full = "\r[" + std::string(40, '#') + "] 100%";
  EXPECT_EQ(err.str(), full);
  // A ROM read counts its header too and passes the maximum.
  EXPECT_NO_THROW(models.ProgressBar1.SetPosition(250));
  EXPECT_EQ(err.str(), full) << "still full, drawn once";
}

class ConsolePromptTest : public FormTest {
 protected:
  TUpgradeForm1& Preset(const std::string& password) {
    search_.network = {{1, "10.0.0.1", "R", ""}, {1, "10.0.0.2", "R", ""}};
    auto& form = MakeForm({"set", "10.0.0.1", password, "null", ScratchPath("fw.bin")}, WriteDeliveredProgram());
    form.FormCreate();
    form.FormActivate();
    return form;
  }
  bool Ask(const std::string& typed) {
    std::istringstream in(typed);
    return AskRouterAndPassword(*form_, in, err_, false);
  }
  std::string Password() const { return form_->Models().PasswordComBox.Text(); }
  std::ostringstream err_;
};

TEST_F(ConsolePromptTest, EnterTwiceKeepsThePresetRouterAndPassword) {
  Preset("secret");
  ASSERT_TRUE(Ask("\n\n"));
  EXPECT_EQ(form_->Models().IPComBox.Text(), "10.0.0.1");
  EXPECT_EQ(Password(), "secret");
  EXPECT_TRUE(form_->Models().Upgrade.Enabled());
}

TEST_F(ConsolePromptTest, ATypedPasswordReplacesItAndIsCutLikeTheWindowsBox) {
  Preset("null");
  ASSERT_TRUE(Ask("10.0.0.2\n0123456789abc\n"));
  EXPECT_EQ(form_->Models().IPComBox.Text(), "10.0.0.2");
  EXPECT_EQ(Password(), "012345678");
  EXPECT_FALSE(Ask("")) << "input ended before a choice";
}

}  // namespace
}  // namespace fwu::testing
