#include "gui/qt/modal_dialog_view.h"

#include <QCloseEvent>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <utility>

#include "gui/qt/control_views.h"
#include "search/search_window_model.h"

namespace fwu {

namespace {

constexpr int kSearchWidth = 300;
constexpr int kSearchHeight = 107;

constexpr int kSearchLabelPixels = 16;
constexpr int kSmallestLabelPixels = 8;

// The original's 16-pixel bold Times New Roman, made smaller where the
// font that stands in for it would not fit the line into the window.
void FitSearchLabelFont(QLabel& label, int width) {
  QFont font(QStringLiteral("Times New Roman"));
  font.setBold(true);
  for (int pixels = kSearchLabelPixels; pixels >= kSmallestLabelPixels; --pixels) {
    font.setPixelSize(pixels);
    if (QFontMetrics(font).horizontalAdvance(label.text()) <= width) break;
  }
  label.setFont(font);
}

}  // namespace

ModalDialogView::ModalDialogView(QWidget* owner, ModalWindowModel& window) : QDialog(owner) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setWindowModality(Qt::ApplicationModal);
  setWindowTitle(ToQString(window.Caption()));
  if (auto* search = dynamic_cast<SearchWindowModel*>(&window)) BuildSearchControls(*search);
  subscriptions_.Watch(window, [this, &window] { setVisible(window.IsOpen()); });
}

ModalDialogView::~ModalDialogView() = default;

void ModalDialogView::closeEvent(QCloseEvent* event) { event->ignore(); }

void ModalDialogView::BuildSearchControls(SearchWindowModel& search) {
  setObjectName(QStringLiteral("RefreshForm"));
  setFixedSize(kSearchWidth, kSearchHeight);
  // The original's two caption-less boxes: the two lines of text in the
  // upper one, the thin bar in the lower one. The lines are centred rather
  // than placed at the original's pixel offsets, which clip them in fonts
  // wider than the original's.
  auto* upper = new QGroupBox(this);
  upper->setGeometry(0, 0, 297, 81);
  auto* lines = new QVBoxLayout(upper);
  for (auto [model, name] : {std::pair{&search.Label1, "Label1"}, std::pair{&search.Label2, "Label2"}}) {
    auto* label = new QLabel(upper);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    ShowLabel(subscriptions_, *model, *label);
    const int width = upper->contentsRect().width() - lines->contentsMargins().left() - lines->contentsMargins().right();
    subscriptions_.Watch(*model, [label, width] { FitSearchLabelFont(*label, width); });
    lines->addWidget(label);
  }
  auto* lower = new QGroupBox(this);
  lower->setGeometry(0, 80, 297, 25);
  auto* bar = new QProgressBar(lower);
  bar->setObjectName(QStringLiteral("ProgressBar1"));
  bar->setGeometry(4, 12, 289, 7);
  ShowProgressBar(subscriptions_, search.ProgressBar1, *bar);
}

}  // namespace fwu
