#include "gui/qt/notice_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <string>

#include "gui/qt/qt_event_loop.h"
#include "notice/hint_form.h"

namespace fwu {
namespace {

MessageFile Notice(std::uint16_t displayTime, std::uint8_t noBlink) {
  MessageFile notice;
  notice.messageCaption = "MESSAGE";
  notice.displayTime = displayTime;
  notice.noBlink = noBlink;
  notice.backColor = 0x00336699;
  notice.rtf = "{\\rtf1\\ansi {\\b New firmware} for your router.\\par Do not switch it off.}";
  return notice;
}

QWidget* NoticeDialog() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == "HintForm") return widget;
  }
  return nullptr;
}

class NoticeViewTest : public ::testing::Test {
 protected:
  // Runs `check` on the open dialog and its text view `afterMs` into the show.
  void CheckAt(int afterMs, std::function<void(QWidget&, QTextEdit&)> check) {
    QTimer::singleShot(afterMs, [this, check = std::move(check)] {
      QWidget* dialog = NoticeDialog();
      ASSERT_NE(dialog, nullptr);
      ++checks_;
      check(*dialog, *dialog->findChild<QTextEdit*>("RichEdit1"));
    });
  }

  QtEventLoop loop_;
  QtNoticeDisplay display_{loop_};
  int checks_ = 0;
};

TEST_F(NoticeViewTest, ShowsItsTextOnItsBackgroundAndClosesItself) {
  THintForm form(loop_, Notice(3, 1));
  CheckAt(50, [](QWidget& dialog, QTextEdit& text) {
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.isModal());
    EXPECT_EQ(dialog.windowTitle(), "MESSAGE");
    EXPECT_EQ(dialog.size(), QSize(500, 300));
    EXPECT_EQ(text.toPlainText(), "New firmware for your router.\nDo not switch it off.");
    EXPECT_TRUE(text.isReadOnly());
    EXPECT_EQ(text.palette().color(QPalette::Base), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(text.document()->begin().begin().fragment().charFormat().fontWeight(), QFont::Bold);
  });
  QElapsedTimer clock;
  clock.start();
  display_.ShowModal(form);
  EXPECT_EQ(checks_, 1);
  EXPECT_GE(clock.elapsed(), 350) << "closes on the fourth 100 ms tick";
  EXPECT_FALSE(form.IsOpen());
  EXPECT_EQ(NoticeDialog(), nullptr) << "the dialog goes with the modal call";
}

TEST_F(NoticeViewTest, BlinkingEmptiesTheViewAndTheCloseControlEndsTheShow) {
  THintForm form(loop_, Notice(20, 0));
  const int watch = form.Subscribe([this, &form] {
    if (form.TextVisible() || !form.IsOpen()) return;
    // Once the view has redrawn: the text is gone while the phase lasts.
    QTimer::singleShot(0, [this] {
      QWidget* dialog = NoticeDialog();
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->findChild<QTextEdit*>("RichEdit1")->toPlainText(), "");
      ++checks_;
      dialog->close();
    });
  });
  QElapsedTimer clock;
  clock.start();
  display_.ShowModal(form);
  form.Unsubscribe(watch);
  EXPECT_EQ(checks_, 1);
  EXPECT_LT(clock.elapsed(), 2000) << "closed by hand, before the countdown's 2.1 s";
  EXPECT_FALSE(form.IsOpen());
  EXPECT_FALSE(form.CountdownRunning() || form.BlinkRunning());
}

// A notice far longer than the window: it must open at its title, whether
// its text blinks (drawn again every second) or not (drawn once).
TEST_F(NoticeViewTest, ALongNoticeOpensAtItsFirstLine) {
  for (const std::uint8_t noBlink : {0, 1}) {
    SCOPED_TRACE(noBlink == 0 ? "blinking" : "not blinking");
    MessageFile notice = Notice(3, noBlink);
    notice.rtf = "{\\rtf1\\ansi {\\b Title}\\par";
    for (int line = 0; line < 200; ++line) notice.rtf += "Line " + std::to_string(line) + "\\par ";
    notice.rtf += "}";
    THintForm form(loop_, notice);
    CheckAt(100, [](QWidget&, QTextEdit& text) {
      EXPECT_GT(text.verticalScrollBar()->maximum(), 0) << "the notice does not fit";
      EXPECT_EQ(text.verticalScrollBar()->value(), 0);
      EXPECT_EQ(text.textCursor().position(), 0);
    });
    display_.ShowModal(form);
  }
  EXPECT_EQ(checks_, 2);
}

TEST(NoticeRendering, CharacterAndParagraphFormatsReachTheDocument) {
  StyledText text;
  Paragraph paragraph;
  static_cast<ParagraphFormat&>(paragraph) = ParagraphFormat{Alignment::Left, 1440, 720, -360, 240, 120};
  CharacterStyle style;
  style.strike = true;
  style.capitals = true;
  style.position = VerticalPosition::Superscript;
  style.highlight = TextColour{255, 255, 0};
  paragraph.runs.push_back({"x", style});
  text.paragraphs.push_back(paragraph);
  QTextDocument document;
  RenderNotice(document, text, 96);
  const QTextBlock block = document.begin();
  EXPECT_EQ(block.blockFormat().leftMargin(), 96);
  EXPECT_EQ(block.blockFormat().rightMargin(), 48);
  EXPECT_EQ(block.blockFormat().textIndent(), -24);
  EXPECT_EQ(block.blockFormat().topMargin(), 16);
  EXPECT_EQ(block.blockFormat().bottomMargin(), 8);
  const QTextCharFormat format = block.begin().fragment().charFormat();
  EXPECT_TRUE(format.fontStrikeOut());
  EXPECT_EQ(format.fontCapitalization(), QFont::AllUppercase);
  EXPECT_EQ(format.verticalAlignment(), QTextCharFormat::AlignSuperScript);
  EXPECT_EQ(format.background().color(), QColor(255, 255, 0));
}

TEST(NoticeBackground, SystemColoursComeFromThePaletteOthersAreBlueGreenRed) {
  QPalette palette;
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Button, Qt::gray);
  EXPECT_EQ(NoticeBackground(0x80000005, palette), QColor(Qt::white));
  EXPECT_EQ(NoticeBackground(0x8000000F, palette), QColor(Qt::gray));
  EXPECT_EQ(NoticeBackground(0x800000FF, palette), QColor(Qt::white)) << "an unknown index: the window colour";
  EXPECT_EQ(NoticeBackground(0x000000FF, palette), QColor(255, 0, 0));
  EXPECT_EQ(NoticeBackground(0x00FF0000, palette), QColor(0, 0, 255));
}

}  // namespace
}  // namespace fwu
