#include "gui/qt/notice_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>
#include <array>

#include "gui/qt/control_views.h"
#include "notice/back_color.h"
#include "notice/hint_form.h"
#include "ui/modal_run.h"

namespace fwu {

namespace {

// The system's colour indices, as the palette's roles stand in for them.
constexpr std::array<QPalette::ColorRole, 31> kSystemColourRoles = {
    QPalette::Button,           // scroll bar
    QPalette::Window,           // desktop
    QPalette::Highlight,        // active caption
    QPalette::Mid,              // inactive caption
    QPalette::Window,           // menu
    QPalette::Base,             // window background
    QPalette::Shadow,           // window frame
    QPalette::WindowText,       // menu text
    QPalette::Text,             // window text
    QPalette::HighlightedText,  // caption text
    QPalette::Window,           // active border
    QPalette::Window,           // inactive border
    QPalette::Dark,             // application workspace
    QPalette::Highlight,        // highlight
    QPalette::HighlightedText,  // highlighted text
    QPalette::Button,           // button face
    QPalette::Dark,             // button shadow
    QPalette::PlaceholderText,  // grey text
    QPalette::ButtonText,       // button text
    QPalette::Text,             // inactive caption text
    QPalette::Light,            // button highlight
    QPalette::Shadow,           // dark 3-D shadow
    QPalette::Midlight,         // 3-D light
    QPalette::ToolTipText,      // tool tip text
    QPalette::ToolTipBase,      // tool tip background
    QPalette::Base,             // (unused index)
    QPalette::Link,             // hot-tracked item
    QPalette::Highlight,        // gradient of the active caption
    QPalette::Mid,              // gradient of the inactive caption
    QPalette::Highlight,        // highlighted menu item
    QPalette::Window,           // menu bar
};

Qt::Alignment AlignmentOf(Alignment alignment) {
  switch (alignment) {
    case Alignment::Centre: return Qt::AlignHCenter;
    case Alignment::Right: return Qt::AlignRight;
    case Alignment::Justified: return Qt::AlignJustify;
    case Alignment::Left: break;
  }
  return Qt::AlignLeft;
}

QTextCharFormat::VerticalAlignment VerticalAlignmentOf(VerticalPosition position) {
  switch (position) {
    case VerticalPosition::Subscript: return QTextCharFormat::AlignSubScript;
    case VerticalPosition::Superscript: return QTextCharFormat::AlignSuperScript;
    case VerticalPosition::Normal: break;
  }
  return QTextCharFormat::AlignNormal;
}

QColor ColourOf(const TextColour& colour) { return QColor(colour.red, colour.green, colour.blue); }

QTextCharFormat FormatOf(const CharacterStyle& style) {
  QTextCharFormat format;
  format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
  format.setFontItalic(style.italic);
  format.setFontUnderline(style.underline);
  format.setFontStrikeOut(style.strike);
  format.setFontCapitalization(style.capitals ? QFont::AllUppercase : QFont::MixedCase);
  format.setVerticalAlignment(VerticalAlignmentOf(style.position));
  format.setFontPointSize(style.halfPoints / 2.0);
  if (!style.fontName.empty()) format.setFontFamilies({ToQString(style.fontName)});
  if (style.colour) format.setForeground(ColourOf(*style.colour));
  if (style.highlight) format.setBackground(ColourOf(*style.highlight));
  return format;
}

QTextBlockFormat BlockFormatOf(const ParagraphFormat& paragraph, int dotsPerInch) {
  constexpr double kTwipsPerInch = 1440;
  const auto pixels = [dotsPerInch](int twips) { return twips * dotsPerInch / kTwipsPerInch; };
  QTextBlockFormat block;
  block.setAlignment(AlignmentOf(paragraph.alignment));
  block.setLeftMargin(pixels(paragraph.leftIndent));
  block.setRightMargin(pixels(paragraph.rightIndent));
  block.setTextIndent(pixels(paragraph.firstLineIndent));
  block.setTopMargin(pixels(paragraph.spaceBefore));
  block.setBottomMargin(pixels(paragraph.spaceAfter));
  return block;
}

}  // namespace

void RenderNotice(QTextDocument& document, const StyledText& text, int dotsPerInch) {
  document.clear();
  QTextCursor cursor(&document);
  bool first = true;
  for (const Paragraph& paragraph : text.paragraphs) {
    const QTextBlockFormat block = BlockFormatOf(paragraph, dotsPerInch);
    if (first) {
      cursor.setBlockFormat(block);
      first = false;
    } else {
      cursor.insertBlock(block);
    }
    for (const TextRun& run : paragraph.runs) {
      QString runText = QString::fromStdString(run.text);
      runText.replace(QLatin1Char('\n'), QChar::LineSeparator);
      cursor.insertText(runText, FormatOf(run.style));
    }
  }
}

QColor NoticeBackground(std::uint32_t backColor, const QPalette& palette) {
  if (!IsSystemColour(backColor)) {
    const TextColour colour = ExplicitColour(backColor);
    return QColor(colour.red, colour.green, colour.blue);
  }
  const auto index = static_cast<std::size_t>(SystemColourIndex(backColor));
  return palette.color(index < kSystemColourRoles.size() ? kSystemColourRoles[index] : QPalette::Base);
}

NoticeView::NoticeView(THintForm& form) : form_(form), text_(new QTextEdit(this)) {
  setObjectName(QStringLiteral("HintForm"));
  setWindowModality(Qt::ApplicationModal);
  setWindowTitle(ToQString(form.Caption()));
  resize(THintForm::kWidth, THintForm::kHeight);
  if (const QScreen* screen = QApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(text_);
  text_->setObjectName(QStringLiteral("RichEdit1"));
  text_->setReadOnly(true);
  text_->setLineWrapMode(QTextEdit::WidgetWidth);
  text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QPalette palette = text_->palette();
  palette.setColor(QPalette::Base, NoticeBackground(form.BackColor(), palette));
  text_->setPalette(palette);
  subscriptions_.Watch(form, [this] {
    ShowPhase();
    setVisible(form_.IsOpen());
  });
}

NoticeView::~NoticeView() = default;

void NoticeView::closeEvent(QCloseEvent* event) {
  form_.UserClose();
  event->accept();
}

// Blinking clears the view and loads the document into it again.
void NoticeView::ShowPhase() {
  if (form_.TextVisible() == textShown_) return;
  textShown_ = form_.TextVisible();
  if (textShown_) {
    RenderNotice(*text_->document(), form_.Document(), text_->logicalDpiY());
    // The text went in through a cursor of its own, which leaves the view's
    // cursor, and with it the scroll position, at the end: a notice opens
    // at its first line.
    text_->moveCursor(QTextCursor::Start);
  } else {
    text_->clear();
  }
}

void QtNoticeDisplay::ShowModal(THintForm& form) {
  NoticeView view(form);
  RunModal(loop_, form);
}

}  // namespace fwu
