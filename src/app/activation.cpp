#include "app/upgrade_codes.h"
#include "app/upgrade_form.h"
#include "app/upgrade_texts.h"
#include "search/device_search.h"

namespace fwu {

namespace {

const std::array<std::string, 4> kKeepAddresses{DeviceSearch::kKeepAddress, DeviceSearch::kKeepAddress,
                                                DeviceSearch::kKeepAddress, DeviceSearch::kKeepAddress};

}  // namespace

void TUpgradeForm1::FormActivate() {
  if (closed_) return;
  SetLayout(layout::kProgressOnly);
  if (ParamMode_) {
    DispatchWithParameters();
  } else {
    DispatchInitialSetting();
  }
}

void TUpgradeForm1::DispatchWithParameters() {
  HandSearchSettings(DeviceSearch::kKeepFlags, kKeepAddresses);
  if (!models_.IPComBox.Text().empty()) {
    const std::string address = SelectedAddressText();
    SearchAndShow([&] { services_.search.SearchAddress(address); });
    KeepNamedRouter(address);
    IPComBoxChange();
  }
  if (LogMode_) ShowLogPane();
  if (PutMode_) {
    AutoRun_ = 1;
    Interactive_ = 0;
  }
  if (GetMode_ || AutoRun_) StopTimer_.SetEnabled(true);
  ParamMode_ = 0;
}

void TUpgradeForm1::DispatchInitialSetting() {
  switch (ApplyInitialSetting()) {
    case verdict::kReadError:
      EndProgram();
      break;
    case verdict::kSearchAndWait:
      AutoRun_ = 0;
      Interactive_ = 1;
      SearchLAN();
      IPComBoxChange();
      break;
    case verdict::kUpgradeByItself:
      AutoRun_ = 1;
      Interactive_ = 0;
      IPComBoxChange();
      StopTimer_.SetEnabled(true);
      break;
    case verdict::kRomDownload:
      models_.window.SetCaption(text::kRomDownloadCaption);
      GetMode_ = 1;
      StopTimer_.SetEnabled(true);
      break;
    case verdict::kPresetAndWait: {
      AutoRun_ = 0;
      Interactive_ = 1;
      const std::string named = SelectedAddressText();
      services_.search.ShowSearchResult(models_.IPComBox, models_.StatusBar1, SearchDetail_);
      if (!named.empty()) KeepNamedRouter(named);
      if (!models_.IPComBox.Items().empty()) {
        IPComBoxChange();
      } else {
        SearchLAN();
      }
      break;
    }
    default:
      break;
  }
}

}  // namespace fwu
