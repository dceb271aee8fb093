#pragma once

#include <istream>
#include <ostream>

#include "app/upgrade_form.h"

namespace fwu {

// The attended console run: after the search, ask which router and which
// password, as the window's list and password box would, then upgrade.
// Returns false when the input ended before a choice was made. With
// hideTyping the password is read without showing it on the terminal.
bool AskRouterAndPassword(TUpgradeForm1& form, std::istream& in, std::ostream& err, bool hideTyping);

}  // namespace fwu
