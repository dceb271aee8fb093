#include <optional>
#include <string>

#include "app/masked_password.h"
#include "app/upgrade_codes.h"
#include "app/upgrade_form.h"
#include "bundle/bundle_reader.h"
#include "platform/files.h"
#include "search/device_search.h"

namespace fwu {

void TUpgradeForm1::HandSearchSettings(std::uint8_t flags, const std::array<std::string, 4>& addresses) {
  services_.search.SetSearchParameters(flags, ROMID_, addresses);
}

int TUpgradeForm1::ApplyInitialSetting() {
  for (std::size_t i = 0; i < FileList_.Count(); ++i) {
    const FileRow slot = FileList_[i];  // a copy: deciding may replace FileList
    if (!(slot.attribute & attr::kControlFile)) continue;
    bool decided = false;
    const int verdict = ApplyControlSlot(slot, decided);
    if (decided) return verdict;
  }
  return verdict::kSearchAndWait;
}

int TUpgradeForm1::ApplyControlSlot(const FileRow& slot, bool& decided) {
  decided = true;
  const auto content = ReadWholeFile(slot.path);
  if (!content) {
    services_.dialogs.ShowMessage(
        {"Read file : " + slot.path + " error!", "Function Error", ButtonSet::YesNoCancel});
    return verdict::kReadError;
  }
  InitialSetting_.Overlay(content->data(), content->size());
  const InitialSetting& s = InitialSetting_;
  ApplyPresets(s);
  ApplyMethodOrder(s.MethodOrder());
  ApplyControlFlags(s.Flags());
  SectionList_ = reader_ ? reader_->SectionList() : std::string();
  Log("Total section list : " + SectionList_);
  const std::optional<int> chosen = ChooseStart(s);
  decided = chosen.has_value();
  return chosen.value_or(verdict::kSearchAndWait);
}

void TUpgradeForm1::ApplyPresets(const InitialSetting& s) {
  ROMID_ = s.ROMID();
  HandSearchSettings(s.Flags(), {s.SearchIP(0), s.SearchIP(1), s.SearchIP(2), s.SearchIP(3)});

  models_.IPComBox.SetText(s.DstIP());
  if (!s.DstIP().empty()) services_.search.SearchAddress(s.DstIP());
  Log("Set DstIP = " + s.DstIP());
  models_.PasswordComBox.SetText(s.PassWd());
  presetPassword_ = s.PassWd();
  Log("Set PassWd = " + MaskedPassword(s.PassWd()));
  Log("Set ROMID = " + ROMID_);

  if (s.Caption() != "default") models_.window.SetCaption(s.Caption());
  if (s.TimeOut() != 0) {
    TimeOut_ = s.TimeOut();
    Log("Set Time out value to : " + std::to_string(TimeOut_));
  }
}

void TUpgradeForm1::ApplyMethodOrder(std::uint8_t order) {
  switch (order) {
    case 0:
      Log("default sequence of upgrade method used.");
      MethodFirst_ = 0;
      break;
    case 1:
      Log("HTTP upgrade method first used.");
      MethodFirst_ = 1;
      break;
    case 2:
      Log("FTP upgrade method first used.");
      MethodFirst_ = 1;
      break;
    case 3:
      Log("TFTP upgrade method first used.");
      MethodFirst_ = 1;
      break;
    default:
      break;
  }
}

void TUpgradeForm1::ApplyControlFlags(std::uint8_t flags) {
  if (flags & control_flag::kUserRelease) {
    Log("Program release to User");
  } else {
    Log("Program release to Factory");
    FactoryRelease_ = 1;
  }
  if (flags & control_flag::kShowLog) Log("Enabled Log state by initial setting");
  if (flags & control_flag::kSectionIdCheck) {
    SectionIDCheck_ = 1;
    Log("Enabled Section ID check.");
  } else {
    Log("Disnabled Section ID check.");
  }
}

// Nothing when the control file leaves the start to the next control file
// in the bundle.
std::optional<int> TUpgradeForm1::ChooseStart(const InitialSetting& s) {
  const std::string upgradeFile = s.UpgradeFile();
  const bool addressGiven = !models_.IPComBox.Text().empty();
  switch (s.Method()) {
    case InitialSetting::kMethodPut:
      if (!upgradeFile.empty()) {
        SetUserFile(upgradeFile, " ;");
        Log("Initial put upgrade file : " + models_.UpdateFileName.Text());
        return addressGiven ? verdict::kUpgradeByItself : verdict::kSearchAndWait;
      }
      if (!addressGiven) return verdict::kSearchAndWait;
      return FileListValid_ ? verdict::kUpgradeByItself : verdict::kPresetAndWait;
    case InitialSetting::kMethodGet:
      if (!upgradeFile.empty()) {
        FileListValid_ = 1;
        models_.UpdateFileName.SetText(NativePath(s.RomFile()) + " ;");
        return verdict::kRomDownload;
      }
      if (FileListValid_ == 0) return verdict::kSearchAndWait;
      break;
    case InitialSetting::kMethodSet:
      if (!upgradeFile.empty()) {
        SetUserFile(upgradeFile, " ;");
        Log("Initial set upgrade file : " + models_.UpdateFileName.Text());
      }
      return verdict::kPresetAndWait;
    default:
      services_.dialogs.ShowMessage({"Not Support Method Error", "Function Waring", ButtonSet::OkCancel});
      Log(std::string("Not Support Method : ") + static_cast<char>(s.Method()));
      break;
  }
  return std::nullopt;
}

void TUpgradeForm1::SetUserFile(const std::string& path, const std::string& separator) {
  const std::string native = NativePath(path);
  FileListValid_ = 1;
  FileList_.SetSingleUserFile(native);
  models_.UpdateFileName.SetText(native + separator);
}

}  // namespace fwu
