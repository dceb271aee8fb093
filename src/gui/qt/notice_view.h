#pragma once

#include <QDialog>
#include <cstdint>

#include "ui/model_subscriptions.h"
#include "notice/notice_display.h"

class QTextEdit;
class QTextDocument;
class QPalette;
class QColor;

namespace fwu {

class EventLoop;
class THintForm;
struct StyledText;

// The notice window on screen: one read-only rich-text view filling the
// window, on the notice's background colour, blinking as the form says.
// The close control closes the form; the form closing itself hides it.
class NoticeView final : public QDialog {
 public:
  explicit NoticeView(THintForm& form);
  ~NoticeView() override;

  void reject() override {}  // Escape is not a close control here

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void ShowPhase();

  THintForm& form_;
  QTextEdit* text_;
  bool textShown_ = false;
  ModelSubscriptions subscriptions_;
};

// Replaces the document's content with the notice's styled text; lengths
// in twips become pixels at that resolution.
void RenderNotice(QTextDocument& document, const StyledText& text, int dotsPerInch);

// The colour a message file's BackColor names, system colours taken from
// the palette.
QColor NoticeBackground(std::uint32_t backColor, const QPalette& palette);

class QtNoticeDisplay final : public NoticeDisplay {
 public:
  explicit QtNoticeDisplay(EventLoop& loop) : loop_(loop) {}
  void ShowModal(THintForm& form) override;

 private:
  EventLoop& loop_;
};

}  // namespace fwu
