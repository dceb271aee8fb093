#include "fleet/program_run.h"

namespace fwu {

namespace {

// How often an ended program's exit is looked for once its streams closed.
constexpr std::int64_t kExitPollMs = 20;

}  // namespace

ProgramRun::ProgramRun(EventLoop& loop, SessionOutput::Sink lines, Ended ended)
    : loop_(loop), output_(std::move(lines)), ended_(std::move(ended)) {}

ProgramRun::~ProgramRun() {
  Unwatch();
  if (exitTimer_) loop_.StopTimer(*exitTimer_);
}

bool ProgramRun::Start(const ChildProcess::Launch& launch, std::string& error) {
  if (!child_.Start(launch)) {
    error = child_.Failure();
    return false;
  }
  for (const auto stream : {ChildProcess::Stream::Output, ChildProcess::Stream::Error}) {
    ++open_;
    watches_.push_back(
        loop_.WatchFd(child_.Descriptor(stream), EventLoop::Interest::Readable, [this, stream] { Drain(stream); }));
  }
  return true;
}

void ProgramRun::Drain(ChildProcess::Stream stream) {
  std::string bytes;
  const bool open = child_.Read(stream, bytes);
  if (stream == ChildProcess::Stream::Output) {
    output_.FeedOutput(bytes);
  } else {
    output_.FeedError(bytes);
  }
  if (open) return;
  loop_.Unwatch(watches_[stream == ChildProcess::Stream::Output ? 0 : 1]);
  watches_[stream == ChildProcess::Stream::Output ? 0 : 1] = -1;
  if (--open_ == 0) WatchForExit();
}

void ProgramRun::WatchForExit() {
  output_.Flush();
  exitTimer_ = loop_.StartTimer(kExitPollMs, [this] {
    const auto status = child_.TryWait();
    if (!status) return;
    loop_.StopTimer(*exitTimer_);
    exitTimer_.reset();
    // The owner may destroy this run from inside ended.
    const Ended ended = ended_;
    ended(*status);
  });
}

void ProgramRun::Unwatch() {
  for (const EventLoop::WatchId watch : watches_) {
    if (watch >= 0) loop_.Unwatch(watch);
  }
  watches_.clear();
}

}  // namespace fwu
