#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/upgrade_form.h"

namespace fwu {

// One line of the router list the console shows, and the address that
// choosing it puts into the window's list.
struct RouterChoice {
  std::string shown;
  std::string address;
};

// The questions of the attended console, each answered into the window's
// controls as the user's hand would. Each returns false when the input
// ended before an answer.

// Lists the choices and sets the router chosen (by number or typed
// address; Enter keeps the one selected).
bool AskRouter(TUpgradeForm1& form, const std::vector<RouterChoice>& choices, std::istream& in, std::ostream& err);

// Asks for a firmware file until one can be read, at most three times.
std::optional<std::string> AskFirmwareFile(std::istream& in, std::ostream& err);

// Asks for the password, whole: the window's box is cut at 9 characters,
// but a router whose password is longer must still be reachable from a
// terminal. afterRefusal: the router refused the last one. With
// hideTyping the typing is not shown.
bool AskPassword(TUpgradeForm1& form, std::istream& in, std::ostream& err, bool hideTyping, bool afterRefusal);

}  // namespace fwu
