#pragma once

#include <QLabel>

namespace fwu {

// A one-line label that always shows its whole text: what does not fit is
// elided in the middle, where a status text's detail sits between its
// subject and its end, and the full text is the tooltip.
class ElidedLabel final : public QLabel {
 public:
  explicit ElidedLabel(QWidget* parent) : QLabel(parent) {}
  void SetFullText(const QString& text);
  // The text as drawn at the label's present width.
  QString ShownText() const;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace fwu
