#include "platform/mapped_file.h"

#include "platform/windows/wide_text.h"
#include "platform/windows/winsock.h"

namespace fwu {

bool MappedFile::Open(const std::string& path) {
  Close();
  const auto wide = Widen(path);
  if (!wide) return false;
  const HANDLE file = CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
    CloseHandle(file);
    return false;
  }
  size_ = static_cast<std::uint64_t>(size.QuadPart);
  // An empty file cannot be mapped, and needs no mapping.
  if (size_ > 0) {
    const HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    const void* view = mapping != nullptr ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (mapping != nullptr) CloseHandle(mapping);  // the view keeps the mapping
    if (view == nullptr) {
      CloseHandle(file);
      size_ = 0;
      return false;
    }
    data_ = static_cast<const std::uint8_t*>(view);
  }
  CloseHandle(file);  // the view keeps the file
  open_ = true;
  return true;
}

void MappedFile::Close() {
  if (data_ != nullptr) UnmapViewOfFile(data_);
  data_ = nullptr;
  size_ = 0;
  open_ = false;
}

}  // namespace fwu
