#include "gui/win32/notice_view.h"

#include <windows.h>

#include <richedit.h>
#include <gtest/gtest.h>

#include "gui/win32/control_ids.h"
#include "gui/win32/win32_event_loop.h"
#include "notice/hint_form.h"
#include "ui/timer.h"
#include "window_reader.h"

namespace fwu {
namespace {

using testing::FindControl;

MessageFile Notice(std::uint16_t displayTime, std::uint8_t noBlink) {
  MessageFile notice;
  notice.messageName = "QUORnotice";
  notice.messageCaption = "MESSAGE";
  notice.displayTime = displayTime;
  notice.noBlink = noBlink;
  notice.rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 {\\b Read} this first.\\par";
  // More lines than the window holds, so that it could open scrolled.
  for (int line = 2; line <= 60; ++line) notice.rtf += "Line " + std::to_string(line) + "\\par ";
  notice.rtf += "}";
  return notice;
}

class NoticeViewTest : public ::testing::Test {
 protected:
  // Shows the form modally and runs look() while it is on screen; the user
  // closes it afterwards unless it closed by itself.
  void ShowAndLook(THintForm& form, std::int64_t afterMs, const std::function<void(HWND)>& look) {
    Timer user(loop_, afterMs, [&] {
      user.SetEnabled(false);
      for (HWND window : testing::ThreadWindows(L"FwuHintForm")) {
        look(FindControl(window, control_id::RichEdit1));
        PostMessageW(window, WM_CLOSE, 0, 0);
      }
    });
    user.SetEnabled(true);
    display_.ShowModal(form);
  }

  Win32EventLoop loop_;
  Win32NoticeDisplay display_{loop_};
};

TEST_F(NoticeViewTest, TheRtfIsShownFromItsFirstLineWithItsFormatting) {
  THintForm form(loop_, Notice(0, 1));
  std::string text;
  bool firstBold = false;
  LRESULT firstLine = -1;
  std::string caption;
  ShowAndLook(form, 100, [&](HWND richEdit) {
    text = testing::TextOf(richEdit);
    caption = testing::TextOf(GetParent(richEdit));
    SendMessageW(richEdit, EM_SETSEL, 0, 1);
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    SendMessageW(richEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    firstBold = (format.dwMask & CFM_BOLD) != 0 && (format.dwEffects & CFE_BOLD) != 0;
    firstLine = SendMessageW(richEdit, EM_GETFIRSTVISIBLELINE, 0, 0);
  });
  EXPECT_EQ(text.rfind("Read this first.", 0), 0u) << text;
  EXPECT_NE(text.find("Line 60"), std::string::npos);
  EXPECT_TRUE(firstBold);
  EXPECT_EQ(firstLine, 0);
  EXPECT_EQ(caption, "MESSAGE");
  EXPECT_FALSE(form.IsOpen()) << "the close control closes the form";
}

// Half a second into a blinking notice the text is gone; the countdown
// then closes the window by itself.
TEST_F(NoticeViewTest, ABlinkingNoticeHidesItsTextAndClosesItselfAfterItsTime) {
  THintForm form(loop_, Notice(8, 0));
  std::string blinked = "not looked at";
  Timer look(loop_, 700, [&] {
    look.SetEnabled(false);
    for (HWND window : testing::ThreadWindows(L"FwuHintForm")) {
      blinked = testing::TextOf(FindControl(window, control_id::RichEdit1));
    }
  });
  look.SetEnabled(true);
  display_.ShowModal(form);
  EXPECT_EQ(blinked, "");
  EXPECT_FALSE(form.IsOpen());
  EXPECT_TRUE(testing::ThreadWindows(L"FwuHintForm").empty());
}

}  // namespace
}  // namespace fwu
