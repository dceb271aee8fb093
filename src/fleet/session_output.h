#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "fleet/fleet_plan.h"

namespace fwu {

// One thing the single-router program said, read back from its console:
// a log line (stdout), a status line, a message box, a notice line, or a
// redraw of its progress bar (stderr).
struct SessionLine {
  enum class Kind { Log, Status, Message, Progress };
  Kind kind = Kind::Log;
  std::string text;  // without the console's "status: " or "message: " prefix
  int percent = 0;   // Progress only
};

// Cuts the two streams of one program run into SessionLines. A line is
// delivered once it is complete; Flush delivers what is left at the end.
class SessionOutput {
 public:
  using Sink = std::function<void(const SessionLine&)>;
  explicit SessionOutput(Sink sink) : sink_(std::move(sink)) {}

  void FeedOutput(std::string_view bytes);
  void FeedError(std::string_view bytes);
  void Flush();

 private:
  void ErrorPiece(std::string_view piece);

  Sink sink_;
  std::string output_;
  std::string error_;
};

// The method a run of the program used, as its log lines tell it: the
// method the line names, or current when it names none.
FleetMethod MethodFromLogLine(const std::string& line, FleetMethod current);

// How far a TFTP transfer is, as the program's log tells it: its TFTP path
// draws no progress bar, but logs the number of whole blocks ("Segment: N")
// and each datagram it sends ("Sent K ..", the request being 0).
class TftpLogProgress {
 public:
  // The percent sent after this line, or nothing when the line says none.
  std::optional<int> Read(const std::string& line);

 private:
  std::optional<long> blocks_;
};

}  // namespace fwu
