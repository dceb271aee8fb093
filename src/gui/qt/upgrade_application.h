#pragma once

#include <QApplication>
#include <functional>
#include <string>

namespace fwu {

// The window program's application object. An exception that leaves an
// event handler (a socket failure during a search or a transfer) is shown
// in a message box and the program goes on, as the framework of the
// original did; Qt itself must never see it unwind through its loop.
class UpgradeApplication final : public QApplication {
 public:
  using ExceptionBox = std::function<void(const std::string& what)>;

  UpgradeApplication(int& argc, char** argv);

  void SetExceptionBox(ExceptionBox box) { exceptionBox_ = std::move(box); }
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  ExceptionBox exceptionBox_;
};

}  // namespace fwu
