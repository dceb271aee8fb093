#pragma once

namespace fwu {

// "Ask the framework to terminate": the view ends its event loop once the
// current handler has returned.
class ApplicationControl {
 public:
  virtual ~ApplicationControl() = default;
  virtual void Terminate() = 0;
};

}  // namespace fwu
