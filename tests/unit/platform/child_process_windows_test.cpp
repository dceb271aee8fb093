// Another program run on Windows: its two pipes read through the sockets
// the loops wait on, its words and folder handed over intact, and its end
// asked for in order or forced. The child is this test program itself,
// started with a role, which it plays before any test runs.
#include <gtest/gtest.h>

#include "platform/windows/winsock.h"

#include <chrono>
#include <string_view>

#include "platform/child_process.h"
#include "platform/command_line.h"
#include "platform/descriptor_wait.h"
#include "platform/files.h"
#include "platform/poll_event_loop.h"
#include "platform/termination_requests.h"
#include "platform/windows/wide_text.h"

namespace fwu {
namespace {

constexpr const char* kRole = "--child-process-test-role";
constexpr int kEchoStatus = 7;
constexpr int kEndedInOrderStatus = 3;

void Write(DWORD stream, std::string_view text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(stream), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// "echo": its folder and words on standard output, one a line, a word on
// standard error. "wait": says so, then waits (bounded) for a termination
// request, as the programs take it, and names it.
bool PlayChildRole() {
  const CommandLine line = ReadCommandLine(0, nullptr);
  if (line.arguments.size() < 2 || line.arguments[0] != kRole) return false;
  if (line.arguments[1] == "echo") {
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    std::string said = *Narrow(folder) + "\n";
    for (std::size_t i = 2; i < line.arguments.size(); ++i) said += line.arguments[i] + "\n";
    Write(STD_OUTPUT_HANDLE, said);
    Write(STD_ERROR_HANDLE, "to error");
    ExitProcess(kEchoStatus);
  }
  PollEventLoop loop;
  TerminationRequests requests(loop, [](const std::string& request) {
    Write(STD_OUTPUT_HANDLE, " " + request);
    ExitProcess(kEndedInOrderStatus);
  });
  Write(STD_OUTPUT_HANDLE, "waiting");
  loop.WaitMs(20000, true);
  ExitProcess(1);
}
[[maybe_unused]] const bool playedChildRole = PlayChildRole();

struct Streams {
  std::string output, error;
};

// Reads both streams until both have ended or the time is up.
Streams ReadUntil(ChildProcess& child, std::string_view outputHas = {}) {
  Streams got;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    std::vector<DescriptorWait> set;
    for (const auto stream : {ChildProcess::Stream::Output, ChildProcess::Stream::Error}) {
      if (child.Descriptor(stream) >= 0) set.push_back({child.Descriptor(stream)});
    }
    if (set.empty()) break;
    WaitForDescriptors(set, 100);
    child.Read(ChildProcess::Stream::Output, got.output);
    child.Read(ChildProcess::Stream::Error, got.error);
    if (!outputHas.empty() && got.output.find(outputHas) != std::string::npos) break;
  }
  return got;
}

std::optional<int> WaitForExit(ChildProcess& child) {
  for (int i = 0; i < 1000 && !child.TryWait(); ++i) Sleep(20);
  return child.TryWait();
}

TEST(ChildProcessWindows, WordsFolderStreamsAndStatusComeBack) {
  wchar_t temp[MAX_PATH] = {};
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  std::string folder = *Narrow(temp);
  folder.pop_back();  // the folder's own name, as the child reads it
  const std::vector<std::string> words = {"", "two words", R"(C:\my dir\)", R"(say "hi" \")",
                                          "Pr\xC3\xBC" "fung \xE5\x9B\xBA"};
  std::vector<std::string> argv = {ExecutablePath(), kRole, "echo"};
  argv.insert(argv.end(), words.begin(), words.end());

  ChildProcess child;
  ASSERT_TRUE(child.Start({argv, folder})) << child.Failure();
  const Streams got = ReadUntil(child);
  std::string expected = folder + "\n";
  for (const std::string& word : words) expected += word + "\n";
  EXPECT_EQ(got.output, expected);
  EXPECT_EQ(got.error, "to error");
  EXPECT_EQ(child.Descriptor(ChildProcess::Stream::Output), -1);
  EXPECT_EQ(WaitForExit(child), kEchoStatus);
}

TEST(ChildProcessWindows, AMissingProgramFailsWithTheSystemsWords) {
  ChildProcess child;
  EXPECT_FALSE(child.Start({{"C:\\no such folder\\program.exe"}, ""}));
  EXPECT_NE(child.Failure().find("CreateProcess: "), std::string::npos) << child.Failure();
  EXPECT_GT(child.Failure().size(), std::string("CreateProcess: ").size());
}

TEST(ChildProcessWindows, AWaitingChildIsAskedToEndOrKilled) {
  for (const bool ask : {true, false}) {
    ChildProcess child;
    ASSERT_TRUE(child.Start({{ExecutablePath(), kRole, "wait"}, ""})) << child.Failure();
    ASSERT_EQ(ReadUntil(child, "waiting").output, "waiting");
    EXPECT_FALSE(child.TryWait());
    if (ask) {
      child.RequestEnd();
    } else {
      child.Kill();
    }
    EXPECT_EQ(WaitForExit(child), ask ? kEndedInOrderStatus : 137) << (ask ? "asked" : "killed");
    EXPECT_EQ(ReadUntil(child).output, ask ? " SIGTERM" : "") << "asked as SIGTERM asks on POSIX";
    EXPECT_EQ(child.Descriptor(ChildProcess::Stream::Error), -1);
  }
}

}  // namespace
}  // namespace fwu
