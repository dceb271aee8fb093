#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace fwu {

class ComboBoxModel;
class StatusBarModel;
class Dialogs;

struct DeviceEntry {
  std::int32_t status = 0;
  std::string address;
  std::string romId;
  std::string info;
};

// The device search as the main window uses it.
class DeviceSearch {
 public:
  static constexpr std::uint8_t kKeepFlags = 255;
  static constexpr const char* kKeepAddress = "default";

  virtual ~DeviceSearch() = default;

  // Flags 255 keeps the search's own flag byte; an address "default" keeps
  // the search's own; the ROM ID is always replaced, also when empty.
  virtual void SetSearchParameters(std::uint8_t flags, const std::string& romId,
                                   const std::array<std::string, 4>& addresses) = 0;
  // Probes one address and adds the answers to the table (no clearing).
  virtual void SearchAddress(const std::string& address) = 0;
  // Shows the search window modally; it clears the table, searches the LAN
  // and closes itself. A socket failure of the search (SocketException) is
  // raised here once the window has closed; SearchAddress raises it directly.
  virtual void RunFullSearch(Dialogs& dialogs) = 0;
  virtual void ClearTable() = 0;
  // Refills the list from the table, sets the status count, and puts the
  // first line into the list's edit field. detail is 111 or 222.
  virtual void ShowSearchResult(ComboBoxModel& list, StatusBarModel& status, int detail) = 0;
  // First entry whose address text equals the given one exactly.
  virtual std::optional<DeviceEntry> Lookup(const std::string& address) const = 0;
  // One ICMP echo with the search's echo settings; true when answered.
  virtual bool Ping(const std::string& address) = 0;
};

}  // namespace fwu
