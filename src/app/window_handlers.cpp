#include "app/upgrade_form.h"
#include "app/upgrade_codes.h"
#include "app/upgrade_texts.h"
#include "net/socket_exception.h"
#include "platform/files.h"
#include "platform/printable_text.h"
#include "search/device_search.h"

namespace fwu {

namespace {

constexpr char kEnterKey = 13;

}  // namespace

int TUpgradeForm1::HeightWithoutLog(int height) const {
  return LogVisible_ ? height : height - models_.GSystemLog.Height();
}

void TUpgradeForm1::SetLayout(int n) {
  MainWindowModels& m = models_;
  const int full = FullHeight_;
  const int password = m.PasswordGroup.Height();
  const int files = m.UpgreadFileGroup.Height();
  switch (n) {
    case layout::kEverything:
      m.PasswordGroup.SetVisible(true);
      m.UpgreadFileGroup.SetVisible(true);
      m.ProgressGroup.SetVisible(true);
      m.GSystemLog.SetVisible(true);
      m.window.SetHeight(full);
      return;
    case layout::kLogShown:
      if (!m.GSystemLog.Visible()) {
        m.GSystemLog.SetVisible(true);
        m.window.SetHeight(m.window.Height() + m.GSystemLog.Height());
      }
      return;
    case layout::kLogHidden:
      if (m.GSystemLog.Visible()) {
        m.GSystemLog.SetVisible(false);
        m.window.SetHeight(m.window.Height() - m.GSystemLog.Height());
      }
      return;
    case layout::kFiles:
    case layout::kPasswordAndFiles:
    case layout::kProgressOnly:
    case layout::kPassword: {
      const bool showPassword = n == layout::kPasswordAndFiles || n == layout::kPassword;
      const bool showFiles = n == layout::kFiles || n == layout::kPasswordAndFiles;
      m.PasswordGroup.SetVisible(showPassword);
      m.UpgreadFileGroup.SetVisible(showFiles);
      m.ProgressGroup.SetVisible(true);
      m.GSystemLog.SetVisible(LogVisible_ != 0);
      const int height = full - (showPassword ? 0 : password) - (showFiles ? 0 : files) + 4;
      m.window.SetHeight(HeightWithoutLog(height));
      if (InitialSetting_.Flags() & control_flag::kShowLog) ShowLogPane();
      return;
    }
    default:
      return;
  }
}

void TUpgradeForm1::ShowLogPane() {
  SetLayout(layout::kLogShown);
  LogVisible_ = 1;
  SearchDetail_ = 222;
}

void TUpgradeForm1::HideLogPane() {
  SetLayout(layout::kLogHidden);
  LogVisible_ = 0;
  SearchDetail_ = 111;
}

void TUpgradeForm1::SearchLAN() {
  MainWindowModels& m = models_;
  m.StatusBar1.SetText("Please Wait for Searching Router...");
  LogVisible_ = 0;
  m.passwordInfo.SetVisible(false);
  m.Upgrade.SetEnabled(false);
  m.ProgressBar1.SetMax(0);
  m.ProgressBar1.SetPosition(0);
  SetLayout(FileListValid_ == 0 ? layout::kFiles : layout::kProgressOnly);
  SearchAndShow([this] { services_.search.RunFullSearch(services_.dialogs); });
  IPComBoxChange();
}

void TUpgradeForm1::SearchAndShow(const std::function<void()>& search) {
  std::string failure;
  try {
    search();
  } catch (const SocketException& e) {
    failure = e.what();
  }
  services_.search.ShowSearchResult(models_.IPComBox, models_.StatusBar1, SearchDetail_);
  // The status line has one line; the socket's text has two.
  if (!failure.empty()) models_.StatusBar1.SetText(OneLine(failure));
}

void TUpgradeForm1::IPComBoxKeyPress(char key) {
  if (key != kEnterKey) return;
  const std::string address = SelectedAddressText();
  services_.search.ClearTable();
  SearchAndShow([&] { services_.search.SearchAddress(address); });
  KeepNamedRouter(address);
  IPComBoxChange();
}

bool TUpgradeForm1::KeepNamedRouter(const std::string& address) {
  ComboBoxModel& list = models_.IPComBox;
  for (const std::string& line : list.Items()) {
    if (line.substr(0, line.find(' ')) == address) {
      list.SetText(line);
      return true;
    }
  }
  // Never another router in its place: selecting then changes nothing, and
  // Upgrade reports the address as not found.
  list.SetText(address);
  return false;
}

void TUpgradeForm1::IPComBoxChange() {
  MainWindowModels& m = models_;
  const auto entry = services_.search.Lookup(SelectedAddressText());
  if (!entry) return;

  const bool userRelease = (InitialSetting_.Flags() & control_flag::kUserRelease) != 0;
  const bool noFactoryPassword = entry->romId == "QRT101" || entry->romId == "VNB101";
  const std::string defaultPassword = userRelease || noFactoryPassword ? "" : "kelpo";
  m.PasswordComBox.SetText(presetPassword_.empty() ? defaultPassword : presetPassword_);
  presetPassword_.clear();

  const bool filesMissing = FileListValid_ == 0 && m.UpdateFileName.Text().empty();
  const int crashLayout = FileListValid_ == 1 ? layout::kProgressOnly : layout::kFiles;
  const int releaseLayout =
      userRelease ? (FileListValid_ == 1 ? layout::kPassword : layout::kPasswordAndFiles) : crashLayout;
  switch (entry->status) {
    case device::kCrash:
      m.Upgrade.SetEnabled(false);
      UpgradeMethod_ = method::kTftp;
      SetLayout(crashLayout);
      if (filesMissing) {
        m.StatusBar1.SetText(text::kSelectUpgradeFiles);
      } else {
        m.StatusBar1.SetText(text::kPressUpgrade);
        EnableUpgrade();
      }
      break;
    case device::kNormal:
    case device::kDefault:
    case device::kUnknownDevice:
      UpgradeMethod_ = entry->status == device::kUnknownDevice ? method::kFtp : method::kHttp;
      SetLayout(releaseLayout);
      m.PasswordComBox.SetEnabled(true);
      if (filesMissing && (releaseLayout == layout::kPasswordAndFiles || releaseLayout == layout::kFiles)) {
        m.StatusBar1.SetText(text::kSelectUpgradeFiles);
        break;
      }
      m.StatusBar1.SetText(m.PasswordComBox.Text().empty() ? "Please input the password" : text::kPressUpgrade);
      EnableUpgrade();
      break;
    case device::kCrashUnreachable:
      m.Upgrade.SetEnabled(false);
      UpgradeMethod_ = method::kNone;
      SetLayout(crashLayout);
      break;
    case device::kNormalUnreachable:
      m.Upgrade.SetEnabled(false);
      UpgradeMethod_ = method::kNone;
      SetLayout(releaseLayout);
      break;
    case device::kDefaultUnreachable:
    default:
      m.Upgrade.SetEnabled(false);
      UpgradeMethod_ = method::kNone;
      break;
  }
  // Focus goes back to the address list; views follow the list's model.
}

void TUpgradeForm1::PasswordComBoxChange() {
  EnableUpgrade();
  models_.StatusBar1.SetText("Confirm your password and press Upgrade button to upgrade");
}

void TUpgradeForm1::BrowseClick() {
  FileChooserRequest request;
  request.filter = "(BIN Files)|*.bin|(EXE Files)|*.exe|(All Files)|*.*";
  request.multiSelect = true;
  request.mustExist = true;
  request.resizable = true;
  const auto chosen = services_.dialogs.ChooseFiles(request);
  if (!chosen) return;
  FileList_.Clear();
  models_.UpdateFileName.SetText("");
  EnableUpgrade();
  std::string shown;
  for (const std::string& chosenPath : *chosen) {
    const std::string path = NativePath(chosenPath);
    // The table has 64 slots; files chosen beyond them are left out.
    if (!FileList_.Add(FileRow{path, attr::kUserChosenFile, 1})) break;
    shown += path + "; ";
  }
  models_.UpdateFileName.SetText(shown);
}

void TUpgradeForm1::ExitKeyDown(FunctionKey key, bool altHeld) {
  if (!altHeld) return;
  const bool logShown = models_.GSystemLog.Visible();
  switch (key) {
    case FunctionKey::F1:
      if (!logShown) ShowLogPane();
      break;
    case FunctionKey::F2:
      if (logShown) HideLogPane();
      break;
    case FunctionKey::F3:
      if (!logShown) {
        SetLayout(layout::kEverything);
        FileListValid_ = 0;
        LogVisible_ = 1;
        SearchDetail_ = 222;
      }
      break;
    case FunctionKey::F5:
      if (logShown) StopTimer_.SetEnabled(false);
      break;
    default:
      break;
  }
}

}  // namespace fwu
