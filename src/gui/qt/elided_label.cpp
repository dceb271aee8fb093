#include "gui/qt/elided_label.h"

#include <QPainter>
#include <QStyle>

namespace fwu {

void ElidedLabel::SetFullText(const QString& text) {
  setText(text);
  setToolTip(text);
}

QString ElidedLabel::ShownText() const {
  return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

// A long text must not widen the fixed-size window.
QSize ElidedLabel::minimumSizeHint() const { return {0, QLabel::minimumSizeHint().height()}; }

void ElidedLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  style()->drawItemText(&painter, contentsRect(), static_cast<int>(alignment()), palette(), isEnabled(), ShownText(),
                        foregroundRole());
}

}  // namespace fwu
