#pragma once

#include <QStringList>
#include <string>

namespace fwu {

// The program's chooser filters are "(Label)|pattern|(Label)|pattern" pairs
// with Windows patterns; Qt wants one "Label (patterns)" entry each.
// "*.*" means every file there, while on POSIX it would only match names
// with a dot, so it becomes "*". A trailing label without a pattern is
// dropped.
QStringList ToQtNameFilters(const std::string& filter);

}  // namespace fwu
