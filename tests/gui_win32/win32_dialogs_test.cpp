#include "gui/win32/win32_dialogs.h"

#include <gtest/gtest.h>

#include <thread>

#include "box_answerer.h"
#include "gui/win32/win32_event_loop.h"
#include "ui/timer.h"
#include "window_reader.h"

namespace fwu {
namespace {

using testing::BoxAnswerer;

struct BoxCase {
  ButtonSet buttons;
  std::vector<std::string> shown;
  int pressed;
  DialogAnswer answer;
};

// Every button set the program uses, each answered by one of its buttons;
// "Yes" alone is the program's own box.
TEST(Win32DialogsTest, EachButtonSetShowsItsButtonsAndReturnsTheOnePressed) {
  const BoxCase cases[] = {
      {ButtonSet::Ok, {"OK"}, IDOK, DialogAnswer::Ok},
      {ButtonSet::OkCancel, {"OK", "Cancel"}, IDCANCEL, DialogAnswer::Cancel},
      {ButtonSet::YesNoCancel, {"Yes", "No", "Cancel"}, IDNO, DialogAnswer::No},
      {ButtonSet::Yes, {"Yes"}, IDYES, DialogAnswer::Yes},
  };
  Win32EventLoop loop;
  Win32Dialogs dialogs(loop);
  BoxAnswerer user(loop);
  for (const BoxCase& box : cases) {
    user.QueueButton(box.pressed);
    const DialogAnswer answer = dialogs.ShowMessage({"Incorrect upgrade file. Please check again!", "Warning",
                                                     box.buttons, BoxKind::Warning});
    EXPECT_EQ(answer, box.answer);
    ASSERT_FALSE(user.Boxes().empty());
    const BoxAnswerer::Box& shown = user.Boxes().back();
    EXPECT_EQ(shown.caption, "Warning");
    EXPECT_EQ(shown.text, "Incorrect upgrade file. Please check again!");
    std::vector<std::string> buttons;
    for (std::string label : shown.buttons) {
      std::erase(label, '&');  // the access key's mark
      buttons.push_back(label);
    }
    EXPECT_EQ(buttons, box.shown);
  }
}

// The watchdog is a loop timer: it must tick while a box waits for the
// user, and work posted from the worker thread must arrive there too.
TEST(Win32DialogsTest, TimersAndPostedWorkGoOnWhileABoxIsOpen) {
  Win32EventLoop loop;
  Win32Dialogs dialogs(loop);
  int ticks = 0;
  bool posted = false;
  Timer watchdog(loop, 20, [&] { ++ticks; });
  watchdog.SetEnabled(true);
  Timer user(loop, 300, [&] {
    for (HWND box : testing::ThreadWindows(L"#32770")) PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  user.SetEnabled(true);
  std::thread worker([&] { loop.Post([&] { posted = true; }); });
  dialogs.ShowMessage({"Upgrade success", "Success", ButtonSet::Ok, BoxKind::Message});
  worker.join();
  EXPECT_GE(ticks, 5);
  EXPECT_TRUE(posted);
}

}  // namespace
}  // namespace fwu
