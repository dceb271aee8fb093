#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <vector>

namespace fwu::testing {

// Plays the user in front of the program's modal dialogs: it looks for the
// active modal dialog every few milliseconds (the program's own nested loops
// keep timers running) and answers it. Message boxes are recorded and get
// the queued button, else their default one; a file chooser gets the queued
// file names typed into it, or is cancelled.
class ModalAnswerer {
 public:
  struct Box {
    QString caption;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
    Qt::TextFormat format;
  };

  ModalAnswerer();

  void QueueButton(QMessageBox::StandardButton button) { buttons_.push_back(button); }
  // Names inside directory; an empty list cancels the chooser.
  void QueueFiles(const QString& directory, const QStringList& names) { files_.push_back({directory, names}); }

  const std::vector<Box>& Boxes() const { return boxes_; }
  // Name filters and file mode of every chooser seen.
  struct Chooser {
    QStringList nameFilters;
    QFileDialog::FileMode mode;
    bool sizeGrip;
  };
  const std::vector<Chooser>& Choosers() const { return choosers_; }

 private:
  struct Files {
    QString directory;
    QStringList names;
  };
  void Poll();
  void Answer(QMessageBox& box);
  void Answer(QFileDialog& chooser);

  QTimer poll_;
  std::deque<QMessageBox::StandardButton> buttons_;
  std::deque<Files> files_;
  std::vector<Box> boxes_;
  std::vector<Chooser> choosers_;
};

}  // namespace fwu::testing
