#include "box_answerer.h"

#include "window_reader.h"

namespace fwu::testing {

namespace {

constexpr std::int64_t kPollMs = 20;

std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* windowClass) {
  std::vector<HWND> children;
  for (HWND child = FindWindowExW(parent, nullptr, windowClass, nullptr); child != nullptr;
       child = FindWindowExW(parent, child, windowClass, nullptr)) {
    children.push_back(child);
  }
  return children;
}

}  // namespace

BoxAnswerer::BoxAnswerer(EventLoop& loop) : poll_(loop, kPollMs, [this] { Poll(); }) { poll_.SetEnabled(true); }

void BoxAnswerer::Poll() {
  // The system's boxes and the program's own one-button box.
  for (const wchar_t* boxClass : {L"#32770", L"FwuYesBox"}) {
    for (HWND box : ThreadWindows(boxClass)) Answer(box);
  }
}

void BoxAnswerer::Answer(HWND box) {
  Box seen{TextOf(box), {}, {}};
  for (HWND label : ChildrenOfClass(box, L"Static")) {
    if (!TextOf(label).empty()) seen.text = TextOf(label);
  }
  std::vector<HWND> buttons = ChildrenOfClass(box, L"Button");
  for (HWND button : buttons) seen.buttons.push_back(TextOf(button));
  if (buttons.empty()) return;
  int id = GetDlgCtrlID(buttons.front());
  if (!buttons_.empty()) {
    id = buttons_.front();
    buttons_.pop_front();
  }
  boxes_.push_back(seen);
  // Hidden at once: the next poll must not answer the same box again
  // before it has gone.
  ShowWindow(box, SW_HIDE);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

}  // namespace fwu::testing
