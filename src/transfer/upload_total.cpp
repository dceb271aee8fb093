#include "transfer/upload_total.h"

#include "platform/binary_file.h"
#include "ui/log_sink.h"

namespace fwu {
namespace {

bool IsUpgradeRow(std::uint16_t attribute, std::uint8_t enableBit) {
  const std::uint8_t type = attr::TypeByte(attribute);
  return (type & 0x04) == 0 && (type & 0x08) != 0 && (attr::CheckByte(attribute) & enableBit) != 0;
}

}  // namespace

std::int64_t TotalUploadLength(FileSelector& selector, const FileTable& files, std::uint8_t enableBit, LogSink& log,
                               std::string& errorText) {
  // A row is put exactly when a scan starting at it answers that row. Only
  // the flag that carries from row to row is followed here, so the total
  // always counts the files the run will send.
  SelectionRun scratch;
  std::int64_t total = 0;
  for (std::size_t row = 0; row < files.Count(); ++row) {
    const FileRow& file = files[row];
    if (!IsUpgradeRow(file.attribute, enableBit)) continue;
    const std::uint8_t idBits = attr::CheckByte(file.attribute) & 0x03;
    if (selector.PeekNextFile(static_cast<int>(row), scratch) == static_cast<int>(row)) {
      ReadOnlyFile opened;
      if (!opened.Open(file.path)) {
        errorText = "File Seek error : " + file.path;
        return -1;
      }
      total += static_cast<std::int64_t>(opened.Size());
      if (idBits == 0x02) scratch.moduleFilePut = true;
    } else if (idBits == 0x03) {
      scratch.moduleFilePut = false;
    }
  }
  log.AddLine("Upgrade File Length : " + std::to_string(total));
  return total;
}

}  // namespace fwu
