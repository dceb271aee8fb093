#include "gui/qt/modal_dialog_view.h"

#include <QCloseEvent>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>

#include "gui/qt/control_views.h"
#include "search/search_window_model.h"

namespace fwu {

namespace {

constexpr int kSearchWidth = 300;
constexpr int kSearchHeight = 107;

QFont SearchLabelFont() {
  QFont font(QStringLiteral("Times New Roman"));
  font.setPixelSize(16);
  font.setBold(true);
  return font;
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
  // Pixel positions of the original window: two caption-less boxes, the
  // two lines of text in the upper one, the thin bar in the lower one.
  auto* upper = new QGroupBox(this);
  upper->setGeometry(0, 0, 297, 81);
  auto* label1 = new QLabel(upper);
  label1->setObjectName(QStringLiteral("Label1"));
  label1->setFont(SearchLabelFont());
  label1->move(48, 16);
  ShowLabel(subscriptions_, search.Label1, *label1);
  auto* label2 = new QLabel(upper);
  label2->setObjectName(QStringLiteral("Label2"));
  label2->setFont(SearchLabelFont());
  label2->move(96, 48);
  ShowLabel(subscriptions_, search.Label2, *label2);
  auto* lower = new QGroupBox(this);
  lower->setGeometry(0, 80, 297, 25);
  auto* bar = new QProgressBar(lower);
  bar->setObjectName(QStringLiteral("ProgressBar1"));
  bar->setGeometry(4, 12, 289, 7);
  ShowProgressBar(subscriptions_, search.ProgressBar1, *bar);
}

}  // namespace fwu
