#include <gtest/gtest.h>

#include "unit/net/icmp_loopback_echo.h"

namespace fwu {
namespace {

// Windows' echo service serves every user.
TEST(IcmpSocket, LoopbackAnswersAnEchoWithoutWaitingForTheTimeout) { EXPECT_EQ(LoopbackEchoFailure(), ""); }

}  // namespace
}  // namespace fwu
