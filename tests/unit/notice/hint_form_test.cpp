#include "notice/hint_form.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "notice/console_notice_display.h"
#include "notice/notice_window.h"
#include "platform/manual_event_loop.h"
#include "ui/controls.h"
#include "ui/modal_run.h"

namespace fwu {
namespace {

MessageFile Timed(std::uint16_t displayTime, std::uint8_t noBlink) {
  MessageFile notice;
  notice.messageCaption = "MESSAGE";
  notice.displayTime = displayTime;
  notice.noBlink = noBlink;
  notice.backColor = 0x00336699;
  notice.rtf = "{\\rtf1\\ansi {\\b New} firmware\\par second}";
  return notice;
}

TEST(THintForm, ADisplayTimeOfNClosesTheWindowOnTheNPlusFirstTick) {
  struct Case {
    std::uint16_t displayTime;
    std::int64_t closesAtMs;
  };
  for (const Case c : {Case{1, 200}, Case{30, 3100}, Case{80, 8100}, Case{100, 8100}}) {
    ManualEventLoop loop;
    THintForm form(loop, Timed(c.displayTime, 1));
    form.Open();
    loop.AdvanceMs(c.closesAtMs - THintForm::kCountdownMs);
    EXPECT_TRUE(form.IsOpen()) << c.displayTime;
    loop.AdvanceMs(THintForm::kCountdownMs);
    EXPECT_FALSE(form.IsOpen()) << c.displayTime;
    EXPECT_FALSE(form.CountdownRunning() || form.BlinkRunning()) << c.displayTime;
  }
}

TEST(THintForm, BlinkingHidesAndShowsTheTextEveryHalfSecondUntilTheWindowCloses) {
  ManualEventLoop loop;
  THintForm form(loop, Timed(30, 0));
  form.Open();
  std::vector<bool> visibleEvery100Ms;
  while (form.IsOpen()) {
    visibleEvery100Ms.push_back(form.TextVisible());
    loop.AdvanceMs(100);
  }
  // Samples at 0, 100, ... 3000 ms; the window closes at 3100 ms.
  ASSERT_EQ(visibleEvery100Ms.size(), 31u);
  for (std::size_t i = 0; i < visibleEvery100Ms.size(); ++i) {
    EXPECT_EQ(visibleEvery100Ms[i], (i / 5) % 2 == 0) << i * 100 << " ms";
  }
}

TEST(THintForm, WithoutADisplayTimeItStaysUnblinkingUntilTheUserClosesIt) {
  ManualEventLoop loop;
  THintForm form(loop, Timed(0, 0));
  form.Open();
  EXPECT_TRUE(form.BlinkRunning());
  loop.AdvanceMs(THintForm::kCountdownMs);
  EXPECT_FALSE(form.CountdownRunning() || form.BlinkRunning());
  loop.AdvanceMs(60'000);
  EXPECT_TRUE(form.IsOpen());
  EXPECT_TRUE(form.TextVisible());
  form.UserClose();
  EXPECT_FALSE(form.IsOpen());
}

TEST(THintForm, NoBlinkKeepsTheTextAndTheUserMayCloseEarly) {
  ManualEventLoop loop;
  THintForm form(loop, Timed(30, 1));
  form.Open();
  EXPECT_FALSE(form.BlinkRunning());
  loop.AdvanceMs(1000);
  EXPECT_TRUE(form.TextVisible());
  form.UserClose();
  EXPECT_FALSE(form.IsOpen());
  EXPECT_FALSE(form.CountdownRunning());
}

// A notice offered while another is on screen (a scan run by an event in
// the first one's modal loop) keeps its own countdown and blink phase.
TEST(THintForm, TwoNoticesAtOnceKeepTheirOwnTiming) {
  ManualEventLoop loop;
  THintForm first(loop, Timed(30, 0));
  first.Open();
  loop.AdvanceMs(1200);
  THintForm second(loop, Timed(5, 0));
  second.Open();
  loop.AdvanceMs(300);
  EXPECT_FALSE(first.TextVisible()) << "1.5 s: the first's third half second";
  EXPECT_TRUE(second.TextVisible());
  loop.AdvanceMs(300);
  EXPECT_FALSE(second.IsOpen()) << "closed 600 ms after it opened";
  EXPECT_TRUE(first.IsOpen());
  loop.AdvanceMs(1300);
  EXPECT_FALSE(first.IsOpen()) << "closed at 3.1 s, as if alone";
}

TEST(THintForm, HoldsTheHeaderAndTheFormattedText) {
  ManualEventLoop loop;
  THintForm form(loop, Timed(30, 1));
  EXPECT_EQ(form.Caption(), "MESSAGE");
  EXPECT_EQ(form.BackColor(), 0x00336699u);
  EXPECT_EQ(form.Document().PlainText(), "New firmware\nsecond\n");
  EXPECT_TRUE(form.Document().paragraphs[0].runs[0].style.bold);
}

// The caption is written in the document's code page, and what it shows
// reaches a title bar and a terminal: no control character survives.
TEST(THintForm, TheCaptionIsDecodedInTheDocumentsCodePageWithoutControlCharacters) {
  struct Case {
    std::string caption;
    std::string rtf;
    std::string shown;
  };
  const Case cases[] = {
      {"Mise \xE0 jour", "{\\rtf1\\ansi x}", "Mise à jour"},
      {"\xB9\xD8\xD3\xDA", "{\\rtf1\\ansi\\ansicpg936 x}", "关于"},
      {"\xC2\xED\xE8\xEC\xE0\xED\xE8\xE5", "{\\rtf1\\ansi\\ansicpg1251 x}", "Внимание"},
      {"\x1B]0;owned\x07Note\r\n\x7F" "2J", "{\\rtf1\\ansi x}", "]0;ownedNote2J"},
      {"\xE9t\xE9", "plain text, no declaration", "été"},
  };
  ManualEventLoop loop;
  for (const Case& c : cases) {
    MessageFile notice = Timed(0, 1);
    notice.messageCaption = c.caption;
    notice.rtf = c.rtf;
    EXPECT_EQ(THintForm(loop, notice).Caption(), c.shown) << c.rtf;
  }
}

// Shows like a view: records what it was given and waits for the close.
class RecordingDisplay final : public NoticeDisplay {
 public:
  explicit RecordingDisplay(EventLoop& loop) : loop_(loop) {}
  void ShowModal(THintForm& form) override {
    captions.push_back(form.Caption());
    RunModal(loop_, form);
    closedAtMs.push_back(loop_.NowMs());
  }
  std::vector<std::string> captions;
  std::vector<std::int64_t> closedAtMs;

 private:
  EventLoop& loop_;
};

TEST(NoticeWindow, ShowsANoticeThatAppliesAndReturnsWhenItHasClosed) {
  ManualEventLoop loop;
  RecordingDisplay display(loop);
  NoticeWindow window(loop, display);
  MessageFile notice = Timed(30, 0);
  notice.noTftpFlag = notice.noFtpFlag = 1;
  window.Offer(NoticeOffer{notice.Serialize(), 0x040D, NoticeContext::Menu, nullptr, 0, "", ""});
  EXPECT_EQ(display.captions, std::vector<std::string>{"MESSAGE"});
  EXPECT_EQ(display.closedAtMs, std::vector<std::int64_t>{3100});

  MemoModel log;
  window.Offer(NoticeOffer{notice.Serialize(), 0x040D, NoticeContext::Tftp, &log, 0, "", "/t/n.tmp"});
  EXPECT_EQ(display.captions.size(), 1u) << "its audience flags exclude transfers";
  EXPECT_EQ(log.Lines().front(), "Unknow Message File in TFTP Mode >>/t/n.tmp");
}

TEST(NoticeWindow, AFileShorterThanItsHeaderIsAFailureForTheCallerToReport) {
  ManualEventLoop loop;
  RecordingDisplay display(loop);
  NoticeWindow window(loop, display);
  EXPECT_THROW(window.Offer(NoticeOffer{Bytes(124, 1), 0x040D, NoticeContext::Menu, nullptr, 0, "", ""}), NoticeError);
  EXPECT_TRUE(display.captions.empty());
}

TEST(ConsoleNoticeDisplay, PrintsTheTextBetweenRulesAndWaitsForTheDisplayTime) {
  ManualEventLoop loop;
  std::ostringstream err;
  ConsoleNoticeDisplay display(loop, err);
  const std::string rule(60, '-');
  {
    THintForm form(loop, Timed(5, 0));
    display.ShowModal(form);
    EXPECT_EQ(err.str(), "notice: MESSAGE\n" + rule + "\nNew firmware\nsecond\n" + rule + "\n");
    EXPECT_EQ(loop.NowMs(), 600);
    EXPECT_FALSE(form.IsOpen());
  }
  THintForm untimed(loop, Timed(0, 0));
  display.ShowModal(untimed);
  EXPECT_EQ(loop.NowMs(), 600) << "nobody could close it: not waited for";
  EXPECT_FALSE(untimed.CountdownRunning() || untimed.BlinkRunning());
}

}  // namespace
}  // namespace fwu
