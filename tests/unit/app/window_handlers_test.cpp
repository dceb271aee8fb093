#include "unit/app/form_fixture.h"

namespace fwu::testing {
namespace {

class WindowTest : public FormTest {
 protected:
  // A started window (delivered bundle, no parameters) whose search found
  // the given devices.
  TUpgradeForm1& Started(std::vector<DeviceEntry> devices, std::uint8_t flags = 0x19) {
    search_.network = std::move(devices);
    InitialSetting control = DeliveredControl();
    control.SetByte(InitialSetting::kFlagsOffset, flags);
    auto& form = MakeForm({}, WriteDeliveredProgram(control));
    form.FormCreate();
    form.FormActivate();
    return form;
  }
  void Select(const std::string& line) {
    form_->Models().IPComBox.SetText(line);
    form_->IPComBoxChange();
  }
  int Height() const { return form_->Models().window.Height(); }
};

// Full height 378; password group 41, file group 57, log group 137.
TEST_F(WindowTest, LayoutHeightsWithTheLogPaneHiddenAndShown) {
  auto& form = Started({});
  const std::vector<std::pair<int, int>> hidden{{2, 204}, {3, 245}, {4, 147}, {5, 188}};
  for (const auto& [layout, height] : hidden) {
    form.SetLayout(layout);
    EXPECT_EQ(Height(), height) << "layout " << layout;
    EXPECT_FALSE(form.Models().GSystemLog.Visible());
  }
  form.ExitKeyDown(FunctionKey::F1, true);  // log pane shown: layout 6 on top of 5
  EXPECT_EQ(Height(), 188 + 137);
  const std::vector<std::pair<int, int>> shown{{2, 341}, {3, 382}, {4, 284}, {5, 325}};
  for (const auto& [layout, height] : shown) {
    form.SetLayout(layout);
    EXPECT_EQ(Height(), height) << "layout " << layout;
    EXPECT_TRUE(form.Models().GSystemLog.Visible());
  }
  form.SetLayout(6);
  EXPECT_EQ(Height(), 325) << "layout 6 does nothing while the pane is shown";
  form.ExitKeyDown(FunctionKey::F2, true);
  EXPECT_EQ(Height(), 188);
  EXPECT_EQ(form.SearchDetail(), 111);
}

TEST_F(WindowTest, GroupsShownPerLayout) {
  auto& form = Started({});
  const auto& m = form.Models();
  struct Row { int layout; bool password, files; };
  for (const Row row : {Row{2, false, true}, Row{3, true, true}, Row{4, false, false}, Row{5, true, false}}) {
    form.SetLayout(row.layout);
    EXPECT_EQ(m.PasswordGroup.Visible(), row.password) << row.layout;
    EXPECT_EQ(m.UpgreadFileGroup.Visible(), row.files) << row.layout;
    EXPECT_TRUE(m.ProgressGroup.Visible());
  }
}

TEST_F(WindowTest, LogFlagShowsThePaneAfterEveryLayout) {
  auto& form = Started({}, 0x19 | 0x20);
  form.SetLayout(4);
  EXPECT_EQ(Height(), 284);
  EXPECT_TRUE(form.LogVisible());
  EXPECT_EQ(form.SearchDetail(), 222);
}

TEST_F(WindowTest, AltFunctionKeysOnExit) {
  auto& form = Started({});
  form.ExitKeyDown(FunctionKey::F3, false);
  EXPECT_FALSE(form.Models().GSystemLog.Visible()) << "F3 without Alt does nothing";
  form.ExitKeyDown(FunctionKey::F3, true);
  const auto& m = form.Models();
  EXPECT_TRUE(m.PasswordGroup.Visible() && m.UpgreadFileGroup.Visible() && m.GSystemLog.Visible());
  EXPECT_EQ(Height(), 378);
  EXPECT_EQ(form.FileListValid(), 0);
  EXPECT_EQ(form.SearchDetail(), 222);
  form.ExitKeyDown(FunctionKey::F4, true);
  EXPECT_EQ(Height(), 378) << "only F1, F2, F3 and F5 act";
}

struct SelectionCase {
  const char* name;
  int type;
  bool userRelease;
  bool bundleFiles;  // FileListValid
  std::uint16_t method;
  bool upgradeEnabled;
  int layoutHeight;  // log pane hidden
  std::string status;
  bool passwordEnabled;
};

class SelectionTest : public WindowTest, public ::testing::WithParamInterface<SelectionCase> {};

TEST_P(SelectionTest, TypeDecidesMethodLayoutButtonAndPrompt) {
  const SelectionCase& c = GetParam();
  auto& form = Started({{c.type, "192.168.1.1", "R7", "info"}}, c.userRelease ? 0x19 : 0x09);
  if (!c.bundleFiles) form.ExitKeyDown(FunctionKey::F3, true), form.ExitKeyDown(FunctionKey::F2, true);
  form.Models().StatusBar1.SetText("before");
  form.Models().Upgrade.SetEnabled(false);
  Select("192.168.1.1");
  EXPECT_EQ(form.UpgradeMethod(), c.method);
  EXPECT_EQ(form.Models().Upgrade.Enabled(), c.upgradeEnabled);
  EXPECT_EQ(Height(), c.layoutHeight);
  EXPECT_EQ(form.Models().StatusBar1.Text(), c.status);
  EXPECT_EQ(form.Models().PasswordComBox.Enabled(), c.passwordEnabled);
}

const std::string kPress = "Press Upgrade Button To Upgrade Router";
const std::string kSelectFiles = "Please select the upgrade files";
const std::string kInputPassword = "Please input the password";

INSTANTIATE_TEST_SUITE_P(
    Table, SelectionTest,
    ::testing::Values(
        SelectionCase{"CrashWithFiles", 0, true, true, 1, true, 147, kPress, false},
        SelectionCase{"CrashWithoutFiles", 0, true, false, 1, false, 204, kSelectFiles, false},
        SelectionCase{"NormalUserWithFiles", 1, true, true, 2, true, 188, kInputPassword, true},
        SelectionCase{"NormalUserWithoutFiles", 1, true, false, 2, false, 245, kSelectFiles, true},
        SelectionCase{"DefaultFactoryWithFiles", 2, false, true, 2, true, 147, kPress, true},
        SelectionCase{"DefaultFactoryWithoutFiles", 2, false, false, 2, false, 204, kSelectFiles, true},
        SelectionCase{"UnknownDeviceUsesFtp", 6, true, true, 3, true, 188, kInputPassword, true},
        SelectionCase{"CrashUnreachable", 3, true, true, 0, false, 147, "before", false},
        SelectionCase{"NormalUnreachableUser", 4, true, true, 0, false, 188, "before", false},
        SelectionCase{"NormalUnreachableFactory", 4, false, false, 0, false, 204, "before", false},
        SelectionCase{"DefaultUnreachableKeepsLayout", 5, true, true, 0, false, 147, "before", false},
        SelectionCase{"DuplicateKeepsLayout", -2, true, true, 0, false, 147, "before", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowTest, DefaultPasswordByReleaseAndRomId) {
  auto& form = Started({{1, "10.0.0.1", "VNB101", ""}, {1, "10.0.0.2", "QRT101", ""}, {1, "10.0.0.3", "X9", ""}},
                       0x09);
  Select("10.0.0.1");
  EXPECT_EQ(form.Models().PasswordComBox.Text(), "");
  Select("10.0.0.2");
  EXPECT_EQ(form.Models().PasswordComBox.Text(), "");
  Select("10.0.0.3");
  EXPECT_EQ(form.Models().PasswordComBox.Text(), "kelpo");
  EXPECT_EQ(form.Models().StatusBar1.Text(), kPress);
}

TEST_F(WindowTest, UserReleaseAlwaysEmptiesThePassword) {
  auto& form = Started({{1, "10.0.0.3", "X9", ""}});
  form.Models().PasswordComBox.SetText("typed");
  Select("10.0.0.3");
  EXPECT_EQ(form.Models().PasswordComBox.Text(), "");
}

TEST_F(WindowTest, PresetPasswordSurvivesTheFirstSelectionOnly) {
  search_.network = {{1, "10.0.0.3", "X9", ""}};
  auto& form = MakeForm({"put", "10.0.0.3", "secret", "null", "/fw.bin"}, WriteDeliveredProgram());
  form.FormCreate();
  form.FormActivate();
  EXPECT_EQ(form.Models().PasswordComBox.Text(), "secret") << "an unattended run logs in with what it was given";
  EXPECT_EQ(form.Models().StatusBar1.Text(), kPress);
  Select("10.0.0.3");
  EXPECT_EQ(form.Models().PasswordComBox.Text(), "") << "a later selection puts in the default again";
}

TEST_F(WindowTest, UnknownAddressChangesNothing) {
  auto& form = Started({{1, "10.0.0.3", "X9", ""}});
  form.Models().StatusBar1.SetText("before");
  const auto method = form.UpgradeMethod();
  Select("10.0.0.99");
  EXPECT_EQ(form.Models().StatusBar1.Text(), "before");
  EXPECT_EQ(form.UpgradeMethod(), method);
}

TEST_F(WindowTest, SelectionReadsTheAddressUpToTheFirstBlank) {
  auto& form = Started({{0, "10.0.0.4", "X9", ""}});
  Select("10.0.0.4   crash");
  EXPECT_EQ(form.UpgradeMethod(), 1);
}

TEST_F(WindowTest, EnterSearchesOnlyTheTypedAddress) {
  auto& form = Started({{1, "10.0.0.1", "A", ""}, {1, "10.0.0.2", "B", ""}});
  ASSERT_EQ(form.Models().IPComBox.Items().size(), 2u);
  form.Models().IPComBox.SetText("10.0.0.2");
  form.IPComBoxKeyPress('a');
  EXPECT_EQ(search_.searchedAddresses.size(), 0u) << "keys other than Enter only edit";
  form.IPComBoxKeyPress(13);
  EXPECT_EQ(search_.searchedAddresses, std::vector<std::string>{"10.0.0.2"});
  EXPECT_EQ(form.Models().IPComBox.Items(), std::vector<std::string>{"10.0.0.2"});
}

TEST_F(WindowTest, RefreshRunsAFullSearchAndFillsTheList) {
  auto& form = Started({{1, "10.0.0.1", "A", ""}});
  search_.network.push_back({1, "10.0.0.2", "B", ""});
  form.IPReFreshClick();
  EXPECT_EQ(search_.fullSearches, 2);
  EXPECT_EQ(form.Models().IPComBox.Items().size(), 2u);
  EXPECT_EQ(form.Models().StatusBar1.Text(), kInputPassword);
}

TEST_F(WindowTest, RefreshThatCouldSendNothingShowsTheFailureAndTheEmptiedList) {
  auto& form = Started({{1, "10.0.0.1", "A", ""}});
  search_.network.clear();
  search_.fullSearchFailure = "Error 10051 in function Send\r\nNetwork is unreachable";
  form.IPReFreshClick();
  EXPECT_TRUE(form.Models().IPComBox.Items().empty()) << "no line left over from the search before";
  EXPECT_EQ(form.Models().StatusBar1.Text(), "Error 10051 in function Send Network is unreachable");
}

TEST_F(WindowTest, BrowseReplacesFileListWithTheChosenFiles) {
  auto& form = Started({});
  dialogs_.QueueFiles({"/a/one.bin", "/a/two.bin", "/a/three.exe"});
  form.BrowseClick();
  ASSERT_EQ(dialogs_.Choosers().size(), 1u);
  EXPECT_EQ(dialogs_.Choosers()[0].filter, "(BIN Files)|*.bin|(EXE Files)|*.exe|(All Files)|*.*");
  EXPECT_TRUE(dialogs_.Choosers()[0].multiSelect && dialogs_.Choosers()[0].mustExist);
  EXPECT_EQ(form.Models().UpdateFileName.Text(), NativePath("/a/one.bin; /a/two.bin; /a/three.exe; "));
  ASSERT_EQ(form.FileList().Count(), 3u);
  EXPECT_EQ(form.FileList()[2].path, NativePath("/a/three.exe"));
  EXPECT_EQ(form.FileList()[2].attribute, 0x080D);
  EXPECT_TRUE(form.Models().Upgrade.Enabled());

  dialogs_.QueueFiles({});  // cancelled
  form.BrowseClick();
  EXPECT_EQ(form.FileList().Count(), 3u);
}

TEST_F(WindowTest, BrowseKeepsAtMostSixtyFourFiles) {
  auto& form = Started({});
  std::vector<std::string> many;
  for (int i = 0; i < 70; ++i) many.push_back("/f/" + std::to_string(i));
  dialogs_.QueueFiles(many);
  form.BrowseClick();
  EXPECT_EQ(form.FileList().Count(), 64u);
  EXPECT_EQ(form.Models().UpdateFileName.Text().find("/f/64;"), std::string::npos);
}

TEST_F(WindowTest, CrashedRouterWithoutFilesIsEnabledByBrowse) {
  auto& form = Started({{0, "10.0.0.5", "X", ""}});
  form.ExitKeyDown(FunctionKey::F3, true);
  Select("10.0.0.5");
  EXPECT_FALSE(form.Models().Upgrade.Enabled());
  dialogs_.QueueFiles({"/fw.bin"});
  form.BrowseClick();
  EXPECT_TRUE(form.Models().Upgrade.Enabled());
}

TEST_F(WindowTest, PasswordEditEnablesUpgrade) {
  auto& form = Started({});
  form.PasswordComBoxChange();
  EXPECT_TRUE(form.Models().Upgrade.Enabled());
  EXPECT_EQ(form.Models().StatusBar1.Text(), "Confirm your password and press Upgrade button to upgrade");
}

}  // namespace
}  // namespace fwu::testing
