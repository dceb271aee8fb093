// Message files: the 125-byte notice header and the RTF document behind it.
#include <cstddef>
#include <cstdint>

#include "fuzz_check.h"
#include "notice/message_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fwu::Bytes bytes(data, data + size);
  const auto file = fwu::MessageFile::Parse(bytes);
  if (!file) {
    FUZZ_CHECK(size < fwu::MessageFile::kHeaderSize);
    return 0;
  }
  FUZZ_CHECK(file->rtf.size() <= size - fwu::MessageFile::kHeaderSize);
  FUZZ_CHECK(file->EffectiveDisplayTime() <= fwu::MessageFile::kMaxDisplayTime);
  // What was read can be written again and reads back the same.
  FUZZ_CHECK(file->Problem().empty());
  const auto again = fwu::MessageFile::Parse(file->Serialize());
  FUZZ_CHECK(again && !again->rtfClipped);
  FUZZ_CHECK(again->messageName == file->messageName && again->messageCaption == file->messageCaption);
  FUZZ_CHECK(again->displayTime == file->displayTime && again->noTftpFlag == file->noTftpFlag &&
             again->noFtpFlag == file->noFtpFlag && again->reserved == file->reserved);
  FUZZ_CHECK(again->backColor == file->backColor && again->noBlink == file->noBlink && again->rtf == file->rtf);
  return 0;
}
