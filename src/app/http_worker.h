#pragma once

#include <functional>
#include <memory>

namespace fwu {

struct HttpThreadContext;

// The HTTP attempt's worker as the controller holds it: it reports through
// the context's shared words (122 or 123, then 124) and has ended once it
// is destroyed, which is how the controller asks it to terminate.
class HttpWorker {
 public:
  virtual ~HttpWorker() = default;
  // True once 124 is in StopCounter.
  virtual bool Finished() const = 0;
};

// Starts one worker for an attempt; without one given, the controller
// starts THTTPThread.
using HttpWorkerStarter = std::function<std::unique_ptr<HttpWorker>(HttpThreadContext&& context)>;

}  // namespace fwu
