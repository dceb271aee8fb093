#include "upload_sink.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/temp_dir.h"

namespace fwu {
namespace {

const std::string kPartHeader =
    "-----------------123456789\r\nContent-Disposition: from-data; name=\"FN\"; filename=\"upgrade.bin\" "
    "\r\nContent-Type: application/octet-stream \r\n\r\n";
const std::string kClosing = "\r\n----\r\n";

// Image bytes that contain the closing text and the part header's end, so
// that a sink matching on content instead of position would be caught.
std::string TrickyImage() {
  std::string image = "\r\n\r\n" + kClosing + "abc";
  for (int i = 0; i < 300; ++i) image += static_cast<char>(i % 256);
  return image + "\r\n----\r";
}

std::string Stored(const UploadSink& sink) { return ToText(ReadWholeFile(sink.StoredPath()).value_or(Bytes{})); }

TEST(UploadSink, ImageIsStoredByteExactWhateverThePieces) {
  PrivateTempDir dir;
  const std::string image = TrickyImage();
  const std::string body = kPartHeader + image + kClosing;
  ASSERT_EQ(kPartHeader.size(), 139u);
  for (std::size_t split = 0; split <= body.size(); split += 7) {
    UploadSink sink(dir.PathWithSeparator(), static_cast<int>(split));
    ASSERT_EQ(sink.Feed(std::string_view(body).substr(0, split)), "");
    ASSERT_EQ(sink.Feed(std::string_view(body).substr(split)), "");
    ASSERT_EQ(sink.Finish(), "");
    EXPECT_EQ(sink.FileName(), "upgrade.bin");
    EXPECT_TRUE(sink.ClosingTextSeen());
    EXPECT_EQ(sink.ImageBytes(), image.size()) << split;
    EXPECT_EQ(Stored(sink), image) << split;
  }
}

TEST(UploadSink, ByteByByteFeedGivesTheSameImage) {
  PrivateTempDir dir;
  const std::string image = TrickyImage();
  const std::string body = kPartHeader + image + kClosing;
  UploadSink sink(dir.PathWithSeparator(), 1);
  for (char c : body) ASSERT_EQ(sink.Feed(std::string_view(&c, 1)), "");
  ASSERT_EQ(sink.Finish(), "");
  EXPECT_EQ(Stored(sink), image);
  EXPECT_EQ(sink.StoredPath(), dir.PathWithSeparator() + "/1-upgrade.bin");
}

TEST(UploadSink, MissingClosingTextKeepsEveryByteAsImage) {
  PrivateTempDir dir;
  const std::string image = TrickyImage();
  UploadSink sink(dir.PathWithSeparator(), 2);
  ASSERT_EQ(sink.Feed(kPartHeader + image), "");
  ASSERT_EQ(sink.Finish(), "");
  EXPECT_FALSE(sink.ClosingTextSeen());
  EXPECT_EQ(Stored(sink), image);
}

TEST(UploadSink, CountsWithoutStoreDirectory) {
  UploadSink sink("", 1);
  ASSERT_EQ(sink.Feed(kPartHeader + "12345" + kClosing), "");
  ASSERT_EQ(sink.Finish(), "");
  EXPECT_EQ(sink.ImageBytes(), 5u);
  EXPECT_TRUE(sink.StoredPath().empty());
}

TEST(UploadSink, FileNamesCannotLeaveTheStoreDirectory) {
  EXPECT_EQ(SafeUploadName("filename=\"upgrade.bin\" "), "upgrade.bin");
  EXPECT_EQ(SafeUploadName("filename=\"../../etc/passwd\""), "passwd");
  EXPECT_EQ(SafeUploadName("filename=\"..\""), "upload.bin");
  EXPECT_EQ(SafeUploadName("filename=\"a\\\\b c\""), "b_c");
  EXPECT_EQ(SafeUploadName("filename=\"\""), "upload.bin");
  EXPECT_EQ(SafeUploadName("no name here"), "upload.bin");
  EXPECT_EQ(SafeUploadName("filename=\"unterminated"), "unterminated");
}

}  // namespace
}  // namespace fwu
