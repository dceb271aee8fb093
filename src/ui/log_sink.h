#pragma once

#include <string>

namespace fwu {

// Where a procedure writes its progress lines (the log pane, or a test).
class LogSink {
 public:
  virtual ~LogSink() = default;
  virtual void AddLine(const std::string& line) = 0;
};

}  // namespace fwu
