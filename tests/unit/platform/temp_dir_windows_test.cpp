// The private temporary directory's access list on Windows, where no mode
// bits keep other users out.
#include <gtest/gtest.h>

#include "platform/windows/winsock.h"

#include "platform/temp_dir.h"

namespace fwu {
namespace {

TEST(PrivateTempDirWindows, OnlyTheUserHasAccessToTheDirectory) {
  PrivateTempDir dir;
  ASSERT_TRUE(dir.Valid());
  const std::string path = dir.PathWithSeparator();
  EXPECT_TRUE(OnlyCurrentUserHasAccess(path.substr(0, path.size() - 1)));

  // A directory made the ordinary way takes the wider rights of the
  // temporary directory above it, and the check must see them.
  char base[MAX_PATH + 1] = {};
  ASSERT_GT(GetTempPathA(sizeof base, base), 0u);
  const std::string plain = std::string(base) + "fwupgrade-plain-test";
  RemoveDirectoryA(plain.c_str());  // left by an earlier run that crashed
  ASSERT_TRUE(CreateDirectoryA(plain.c_str(), nullptr));
  EXPECT_FALSE(OnlyCurrentUserHasAccess(plain));
  RemoveDirectoryA(plain.c_str());
}

}  // namespace
}  // namespace fwu
