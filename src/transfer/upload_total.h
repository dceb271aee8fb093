#pragma once

#include <cstdint>
#include <string>

#include "bundle/file_selector.h"

namespace fwu {

class LogSink;

// The bytes an upgrade run will send, counted before it connects: each row
// the selection rules would put, decided by their silent scan. Logs
// "Upgrade File Length : " and the total; -1 with errorText set when a
// file's size cannot be read.
std::int64_t TotalUploadLength(FileSelector& selector, const FileTable& files, std::uint8_t enableBit, LogSink& log,
                               std::string& errorText);

}  // namespace fwu
