#include "ui/controls.h"

#include <algorithm>

namespace fwu {

void ComboBoxModel::ClearItems() {
  if (items_.empty()) return;
  items_.clear();
  Notify();
}

void ComboBoxModel::AddItem(const std::string& item) {
  const auto at = sorted_ ? std::upper_bound(items_.begin(), items_.end(), item) : items_.end();
  items_.insert(at, item);
  Notify();
}

void MemoModel::AddLine(const std::string& line) {
  lines_.push_back(line);
  Notify();
}

void MemoModel::Clear() {
  lines_.clear();
  Notify();
}

}  // namespace fwu
