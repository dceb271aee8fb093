#include "platform/windows/pipe_reader.h"

namespace fwu {

namespace {

// As much as a pipe holds, so that handing over costs the writer nothing.
constexpr std::size_t kMaxPending = 64 * 1024;

}  // namespace

PipeReader::PipeReader(HANDLE pipe) : pipe_(pipe), wake_(std::make_unique<WakeSignal>()), thread_([this] { Run(); }) {}

PipeReader::~PipeReader() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  room_.notify_one();
  if (thread_.joinable()) thread_.join();
  CloseHandle(pipe_);
}

void PipeReader::Run() {
  char buffer[4096];
  for (;;) {
    DWORD got = 0;
    // Fails with ERROR_BROKEN_PIPE once every writer has closed its end.
    const bool read = ReadFile(pipe_, buffer, sizeof buffer, &got, nullptr);
    std::unique_lock<std::mutex> lock(mutex_);
    if (!read) {
      ended_ = true;
      break;
    }
    room_.wait(lock, [this] { return closing_ || pending_.size() < kMaxPending; });
    if (closing_) return;
    pending_.append(buffer, got);
    lock.unlock();
    wake_->Raise();
  }
  wake_->Raise();
}

bool PipeReader::Read(std::string& into) {
  if (!wake_) return false;
  // Quieted before the buffer is taken: bytes added after the take raise
  // the signal again, so none wait unseen.
  wake_->Drain();
  std::unique_lock<std::mutex> lock(mutex_);
  into += pending_;
  pending_.clear();
  const bool ended = ended_;
  lock.unlock();
  room_.notify_one();
  if (!ended) return true;
  thread_.join();
  wake_.reset();
  return false;
}

}  // namespace fwu
