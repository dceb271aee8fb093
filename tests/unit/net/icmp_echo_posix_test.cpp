// The echo on loopback inside a network namespace of the test's own, whose
// ping_group_range admits the user's group: the ping socket is there for
// any user, root or not, whatever the machine's own setting.
#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "unit/net/icmp_loopback_echo.h"

namespace fwu {
namespace {

bool WriteText(const char* path, const std::string& text) {
  const int fd = open(path, O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  return close(fd) == 0 && written;
}

bool LoopbackUp() {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  ifreq request{};
  std::strcpy(request.ifr_name, "lo");
  bool up = ioctl(fd, SIOCGIFFLAGS, &request) == 0;
  request.ifr_flags |= IFF_UP;
  up = up && ioctl(fd, SIOCSIFFLAGS, &request) == 0;
  close(fd);
  return up;
}

// Runs in a child of its own: a process that has threads may not enter a
// new user namespace, and the test's own namespaces stay untouched.
std::string EchoInOwnNamespace() {
  const std::string uid = std::to_string(geteuid());
  const std::string gid = std::to_string(getegid());
  if (unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) return "no namespace: " + std::string(std::strerror(errno));
  // Inside, the user is root of the namespace and its group is group 0.
  if (!WriteText("/proc/self/setgroups", "deny") || !WriteText("/proc/self/uid_map", "0 " + uid + " 1") ||
      !WriteText("/proc/self/gid_map", "0 " + gid + " 1") || !LoopbackUp() ||
      !WriteText("/proc/sys/net/ipv4/ping_group_range", "0 0")) {
    return "no namespace: " + std::string(std::strerror(errno));
  }
  return LoopbackEchoFailure();
}

TEST(IcmpSocket, LoopbackAnswersAnEchoWithoutWaitingForTheTimeout) {
  int channel[2];
  ASSERT_EQ(pipe(channel), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const std::string failure = EchoInOwnNamespace();
    const bool told = write(channel[1], failure.data(), failure.size()) == static_cast<ssize_t>(failure.size());
    _exit(told ? 0 : 1);
  }
  close(channel[1]);
  std::string failure;
  char buffer[256];
  for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) failure.append(buffer, static_cast<std::size_t>(n));
  close(channel[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child ended without a word";
  // Only a machine that forbids user namespaces can excuse the test, and
  // not in CI.
  const char* required = std::getenv("FWU_REQUIRE_NETNS");
  if (failure.starts_with("no namespace") && (required == nullptr || std::string(required) != "1")) {
    GTEST_SKIP() << failure;
  }
  EXPECT_EQ(failure, "");
}

}  // namespace
}  // namespace fwu
