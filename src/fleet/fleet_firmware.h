#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bundle/initial_setting.h"
#include "fleet/fleet_options.h"

namespace fwu {

class BundleReader;
class Dialogs;
class HiddenNoticePresenter;

// Where the fleet's firmware comes from: the program's own bundle, chosen
// per router by the selection rules, or the one FILE of the command line.
// The bundle's files live in a private temporary directory until this
// object goes.
class FleetFirmware {
 public:
  FleetFirmware();
  ~FleetFirmware();
  FleetFirmware(const FleetFirmware&) = delete;
  FleetFirmware& operator=(const FleetFirmware&) = delete;

  // False, with the reason, when there is nothing to send.
  bool Open(const FleetOptions& options, const std::string& programPath, Dialogs& dialogs, std::string& error);
  // The files the selection rules choose for the table's ROM ID, as a
  // single upgrade (or recovery, for a crashed router) chooses them.
  std::vector<std::string> Choose(const std::string& romId, bool crashed) const;
  // The bundle's control file, when it has one.
  const std::optional<InitialSetting>& Control() const { return control_; }

 private:
  std::unique_ptr<HiddenNoticePresenter> notices_;
  std::unique_ptr<BundleReader> reader_;
  Dialogs* dialogs_ = nullptr;
  std::optional<std::string> file_;
  std::optional<InitialSetting> control_;
};

}  // namespace fwu
