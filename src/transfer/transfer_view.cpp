#include "transfer/transfer_view.h"

#include <algorithm>
#include <limits>

#include "ui/controls.h"
#include "ui/window_thread_call.h"

namespace fwu {
namespace {

int ClampToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

}  // namespace

void ModelTransferView::AddLine(const std::string& line) { log_.AddLine(line); }

void ModelTransferView::AdvanceProgress(std::int64_t bytes) {
  progress_.SetPosition(ClampToInt(std::int64_t{progress_.Position()} + bytes));
}

void ModelTransferView::SetStatus(const std::string& text) { status_.SetText(text); }

void ModelTransferView::ResetProgress(std::int64_t maximum) {
  progress_.SetMax(ClampToInt(maximum));
  progress_.SetPosition(0);
}

void PostedTransferView::AddLine(const std::string& line) {
  channel_.Post([&view = windowView_, line] { view.AddLine(line); });
}

void PostedTransferView::AdvanceProgress(std::int64_t bytes) {
  channel_.Post([&view = windowView_, bytes] { view.AdvanceProgress(bytes); });
}

void PostedTransferView::SetStatus(const std::string& text) {
  channel_.Post([&view = windowView_, text] { view.SetStatus(text); });
}

void PostedTransferView::ResetProgress(std::int64_t maximum) {
  channel_.Post([&view = windowView_, maximum] { view.ResetProgress(maximum); });
}

}  // namespace fwu
