// What only a POSIX system can arrange: a file-size limit.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include "bundle_reader_fixture.h"

namespace fwu {
namespace {

using test::BundleReaderTest;
using test::DeliveredEntries;
using test::Filled;

TEST_F(BundleReaderTest, AFailedWriteIsReportedAsAFullDisk) {
  // A file-size limit makes the write fail the way a full disk does.
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const std::string path = WriteInput("fwupgrade", test::BuildOrFail(Filled(100, 0), DeliveredEntries()));
  rlimit limited = old;
  limited.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  BundleReader reader(dialogs_, notices_);
  const int result = reader.ReadinputExeFile(path);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(result, -1);
  test::ExpectOnlyBox(dialogs_, "Write tmp file Error. Check Disk space !", kSystemDefaultCaption, ButtonSet::Yes);
  EXPECT_EQ(dialogs_.Messages()[0].kind, BoxKind::Error);
  EXPECT_TRUE(notices_.offers.empty());
  EXPECT_EQ(reader.ExtractedFileTable().Count(), 3u);  // row 0, control file, the failed image
}

}  // namespace
}  // namespace fwu
