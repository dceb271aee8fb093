#pragma once

#include <string>

#include "ui/observable.h"

namespace fwu {

// A window shown modally: the view opens it, calls Activate() and runs a
// nested loop until the window's own code calls Close().
class ModalWindowModel : public Observable {
 public:
  virtual const std::string& Caption() const = 0;
  bool IsOpen() const { return open_; }
  void Open() {
    open_ = true;
    Notify();
  }
  void Close() {
    open_ = false;
    Notify();
  }
  virtual void Activate() = 0;

 protected:
  ~ModalWindowModel() = default;

 private:
  bool open_ = false;
};

}  // namespace fwu
