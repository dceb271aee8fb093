#include "gui/win32/main_window.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/upgrade_form.h"
#include "box_answerer.h"
#include "bundle/bundle_writer.h"
#include "fake_lan.h"
#include "gui/win32/control_ids.h"
#include "gui/win32/win32_dialogs.h"
#include "gui/win32/win32_event_loop.h"
#include "notice/hidden_notice_presenter.h"
#include "platform/files.h"
#include "support/window_test_doubles.h"
#include "window_reader.h"

namespace fwu {
namespace {

using testing::BoxAnswerer;
using testing::CountingApplication;
using testing::FakeFtp;
using testing::FakeLan;
using testing::FindControl;
using testing::TextOf;

constexpr LPARAM kAltHeld = LPARAM{1} << 29;

// A program file whose bundle holds one upgrade file for HTTP and FTP, so
// that a router picked from the list can be upgraded at once.
std::string BundledProgram() {
  const auto path = std::filesystem::temp_directory_path() / ("fwu-gui-" + std::to_string(GetCurrentProcessId()));
  const BuiltBundle built = BuildBundle(Bytes(1000, 'Z'), {{"image.bin", 0x080D, Bytes(64, 7)}});
  EXPECT_TRUE(built.Ok()) << built.error;
  EXPECT_TRUE(WriteWholeFile(path.string(), built.bytes));
  return path.string();
}

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    lan_.network = {{3, "192.168.0.1", "QRT101", "crash"}, {6, "192.168.2.1", "ABC100", "unknow device"}};
    dialogs_.SetOwner(window_.Handle());
  }
  ~MainWindowTest() override { std::filesystem::remove(programPath_); }

  // Creation, then the window on screen; its first activation searches.
  void Start() {
    form_.FormCreate();
    form_.SetLayout(4);
    window_.Show();
    ASSERT_TRUE(Wait([this] { return lan_.fullSearches == 1 && !Items().empty(); }));
  }

  bool Wait(const std::function<bool()>& done) { return testing::WaitFor(loop_, done); }
  HWND Control(int id) { return FindControl(window_.Handle(), id); }
  std::vector<std::string> Items() { return testing::ComboItems(Control(control_id::IPComBox)); }
  std::string Status() { return testing::StatusText(Control(control_id::StatusBar1)); }
  bool Shown(int group) { return testing::ShownOnScreen(Control(group)); }
  int Top(int group) { return testing::PlaceInTop(Control(group)).top; }
  bool Enabled(int id) { return IsWindowEnabled(Control(id)) != FALSE; }

  void PickRouter(int index) {
    HWND list = Control(control_id::IPComBox);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // What the list tells its window when the user picks a line.
    PostMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(control_id::IPComBox, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    ASSERT_TRUE(Wait([this] { return Enabled(control_id::PasswordComBox); }));
  }
  void ExitKey(UINT message, WPARAM key, LPARAM flags) {
    PostMessageW(Control(control_id::Exit), message, key, flags);
    loop_.WaitMs(30, true);
  }
  // The button's click as the system reports it.
  void Click(int id) { PostMessageW(Control(id), BM_CLICK, 0, 0); }

  std::string programPath_ = BundledProgram();
  Win32EventLoop loop_;
  Win32Dialogs dialogs_{loop_};
  FakeLan lan_{loop_};
  HiddenNoticePresenter notices_;
  CountingApplication application_;
  FakeFtp ftp_{loop_};
  TUpgradeForm1 form_{UpgradeFormServices{loop_, dialogs_, lan_, notices_, application_, nullptr, &ftp_},
                      {},
                      programPath_};
  MainWindow window_{form_, loop_};
  BoxAnswerer user_{loop_};
  const MainWindowModels& models_ = form_.Models();
};

TEST_F(MainWindowTest, TheFirstActivationSearchesWithTheDialogAndListsTheRoutersFound) {
  std::vector<std::string> dialogTexts;
  lan_.duringSearch = [&] {
    for (HWND dialog : testing::ThreadWindows(L"FwuRefreshForm")) {
      dialogTexts = {TextOf(dialog), TextOf(FindControl(dialog, control_id::Label1)),
                     TextOf(FindControl(dialog, control_id::Label2))};
    }
  };
  Start();
  EXPECT_EQ(dialogTexts, (std::vector<std::string>{"Searching for installed device(s)...",
                                                   "Searching for installed device(s)", "Please Wait ..."}));
  EXPECT_EQ(TextOf(window_.Handle()), "Firmware Upgrade  V1.1.1");
  EXPECT_EQ(Items(), (std::vector<std::string>{"192.168.0.1   crash", "192.168.2.1   unknow device"}));
  EXPECT_EQ(TextOf(Control(control_id::IPComBox)), "192.168.0.1   crash");
  EXPECT_EQ(Status(), "2 device(s) found");
  EXPECT_EQ(TextOf(Control(control_id::Memo1)).rfind("Program Version V1.1.1e\r\n", 0), 0u);

  // Later activations (the search dialog closing was one) search no more.
  SetActiveWindow(window_.Handle());
  loop_.WaitMs(50, true);
  EXPECT_EQ(lan_.fullSearches, 1);
}

TEST_F(MainWindowTest, TheWindowShowsTheGroupsOfItsLayoutStackedWithoutGaps) {
  Start();
  EXPECT_EQ(testing::ClientHeight(window_.Handle()), models_.window.Height());
  EXPECT_FALSE(Shown(control_id::PasswordGroup));
  EXPECT_FALSE(Shown(control_id::UpgreadFileGroup)) << "the bundle's files count: no file group";
  EXPECT_FALSE(Shown(control_id::GSystemLog));
  EXPECT_EQ(Top(control_id::SearchGroup), 0);
  EXPECT_EQ(Top(control_id::ToolGroup), 57);
  EXPECT_EQ(Top(control_id::ProgressGroup), 57 + 41);
  EXPECT_EQ(testing::PlaceInTop(Control(control_id::StatusBar1)).bottom, models_.window.Height());

  // Nothing runs: the close box lets the window go, and the program ends.
  PostMessageW(window_.Handle(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(Wait([this] { return form_.Closed(); }));
  EXPECT_FALSE(IsWindowVisible(window_.Handle()));
  EXPECT_EQ(application_.terminations, 1);
}

TEST_F(MainWindowTest, PickingARouterEnablesThePasswordAndTypingItMaskedEnablesUpgrade) {
  Start();
  EXPECT_FALSE(Enabled(control_id::PasswordComBox));
  EXPECT_FALSE(Enabled(control_id::Upgrade));

  PickRouter(1);
  EXPECT_EQ(models_.IPComBox.Text(), "192.168.2.1   unknow device");
  EXPECT_TRUE(Shown(control_id::PasswordGroup));
  EXPECT_EQ(GetFocus(), GetWindow(Control(control_id::IPComBox), GW_CHILD)) << "the keyboard ends on the list";

  HWND password = Control(control_id::PasswordComBox);
  testing::TypeInto(password, "kelpo12345678");
  ASSERT_TRUE(Wait([this] { return models_.PasswordComBox.Text() == "kelpo1234"; })) << "at most 9 characters";
  EXPECT_EQ(SendMessageW(password, EM_GETPASSWORDCHAR, 0, 0), L'*');
  EXPECT_EQ(TextOf(password), "kelpo1234");
  EXPECT_TRUE(Enabled(control_id::Upgrade));
  EXPECT_EQ(Status(), "Confirm your password and press Upgrade button to upgrade");
}

TEST_F(MainWindowTest, AltF3OnTheExitButtonShowsEveryGroupAndAltF2HidesTheLog) {
  Start();
  const int height = testing::ClientHeight(window_.Handle());
  ExitKey(WM_KEYDOWN, VK_F3, 0);
  EXPECT_FALSE(Shown(control_id::GSystemLog)) << "F3 without Alt does nothing";
  EXPECT_EQ(testing::ClientHeight(window_.Handle()), height);

  ExitKey(WM_SYSKEYDOWN, VK_F3, kAltHeld);
  for (int group : {control_id::SearchGroup, control_id::PasswordGroup, control_id::UpgreadFileGroup,
                    control_id::ToolGroup, control_id::ProgressGroup, control_id::GSystemLog}) {
    EXPECT_TRUE(Shown(group)) << group;
  }
  EXPECT_EQ(testing::ClientHeight(window_.Handle()), 378);
  EXPECT_EQ(Top(control_id::GSystemLog), 57 + 41 + 57 + 41 + 25);

  ExitKey(WM_SYSKEYDOWN, VK_F2, kAltHeld);
  EXPECT_FALSE(Shown(control_id::GSystemLog));
  EXPECT_EQ(testing::ClientHeight(window_.Handle()), 378 - 137);
}

TEST_F(MainWindowTest, AnUpgradeShowsProgressKeepsUpgradeOffAndEndsInTheSuccessBox) {
  Start();
  PickRouter(1);
  testing::TypeInto(Control(control_id::PasswordComBox), "secret");
  ASSERT_TRUE(Wait([this] { return Enabled(control_id::Upgrade); }));

  bool checkedDuringRun = false;
  ftp_.duringTransfer = [&] {
    checkedDuringRun = true;
    EXPECT_FALSE(Enabled(control_id::Upgrade));
    EXPECT_EQ(SendMessageW(Control(control_id::ProgressBar1), PBM_GETPOS, 0, 0), 40);
  };
  Click(control_id::Upgrade);
  ASSERT_TRUE(Wait([this] { return !user_.Boxes().empty(); }));
  EXPECT_TRUE(checkedDuringRun);
  EXPECT_EQ(user_.Boxes().back().caption, "Success");
  EXPECT_EQ(user_.Boxes().back().text, "Upgrade success");
  ASSERT_TRUE(Wait([this] { return Enabled(control_id::Upgrade); }));
  EXPECT_NE(TextOf(Control(control_id::Memo1)).find("Unsing FTP upgrade mode to : 192.168.2.1"), std::string::npos);
}

TEST_F(MainWindowTest, ClosingTheWindowAsksTheFormWhichRefusesWhileATransferRuns) {
  Start();
  PickRouter(1);
  bool refused = false;
  ftp_.duringTransfer = [&] {
    user_.QueueButton(IDCANCEL);
    PostMessageW(window_.Handle(), WM_CLOSE, 0, 0);
    Wait([this] { return !user_.Boxes().empty(); });
    refused = IsWindowVisible(window_.Handle()) && !form_.Closed();
  };
  Click(control_id::Upgrade);
  ASSERT_TRUE(Wait([&] { return user_.Boxes().size() == 2; }));
  EXPECT_TRUE(refused);
  EXPECT_EQ(user_.Boxes().front().text, "Upgrade Not complete, Do you really want to exit program ?");
  // Its upgrade done, an upgrader with files of its own ends by itself.
  ASSERT_TRUE(Wait([this] { return form_.Closed(); }));
  EXPECT_FALSE(IsWindowVisible(window_.Handle()));
  EXPECT_EQ(application_.terminations, 1);
}

TEST_F(MainWindowTest, EnterInTheListSearchesOnlyTheTypedAddress) {
  Start();
  HWND typed = GetWindow(Control(control_id::IPComBox), GW_CHILD);
  SetWindowTextW(typed, L"");
  testing::TypeInto(typed, "192.168.2.1");
  ASSERT_TRUE(Wait([this] { return models_.IPComBox.Text() == "192.168.2.1"; }));
  PostMessageW(typed, WM_KEYDOWN, VK_RETURN, 1);
  ASSERT_TRUE(Wait([this] { return !lan_.searchedAddresses.empty() && Enabled(control_id::PasswordComBox); }));
  EXPECT_EQ(lan_.searchedAddresses, (std::vector<std::string>{"192.168.2.1"}));
  EXPECT_EQ(Items(), (std::vector<std::string>{"192.168.2.1   unknow device"}));
}

}  // namespace
}  // namespace fwu
