// Times the start-up extraction of the bundle appended to a program file:
// what the upgrade program does before its window appears.
// Usage: bench_extract PROGRAM_WITH_BUNDLE
#include <chrono>
#include <iostream>
#include <memory>

#include "bundle/bundle_reader.h"
#include "notice/hidden_notice_presenter.h"
#include "platform/poll_event_loop.h"
#include "ui/console_dialogs.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: bench_extract PROGRAM_WITH_BUNDLE\n";
    return 2;
  }
  fwu::PollEventLoop loop;
  fwu::ConsoleDialogs dialogs(loop, std::cerr);
  fwu::HiddenNoticePresenter notices;  // notices are not part of what is timed
  using Clock = std::chrono::steady_clock;
  const auto microseconds = [](Clock::duration d) {
    return std::chrono::duration_cast<std::chrono::microseconds>(d).count();
  };
  const auto start = Clock::now();
  auto reader = std::make_unique<fwu::BundleReader>(dialogs, notices);
  const int result = reader->ReadinputExeFile(argv[1]);
  const auto extracted = Clock::now();
  reader.reset();
  const auto cleaned = Clock::now();
  // One line a shell can read: result, start-up time, clean-up time.
  std::cout << result << " " << microseconds(extracted - start) << " " << microseconds(cleaned - extracted) << "\n";
  return result > 0 ? 0 : 1;
}
