#include "platform/child_process.h"

namespace fwu {

// Windows has no fleet runner yet: every start fails with the reason, so
// that the console says so instead of planning a run it cannot make.
struct ChildProcess::Handles {};

ChildProcess::ChildProcess() : handles_(std::make_unique<Handles>()) {}
ChildProcess::~ChildProcess() = default;

bool ChildProcess::Start(const Launch&) {
  failure_ = "running other programs is not supported on this system yet";
  return false;
}

int ChildProcess::Descriptor(Stream) const { return -1; }
bool ChildProcess::Read(Stream, std::string&) { return false; }
void ChildProcess::RequestEnd() {}
void ChildProcess::Kill() {}
std::optional<int> ChildProcess::TryWait() { return std::nullopt; }

}  // namespace fwu
