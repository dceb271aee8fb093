#include "platform/windows/adapter_list.h"

#include "platform/windows/wide_text.h"

namespace fwu {

std::vector<unsigned char> Ipv4AdapterList(ULONG flags) {
  ULONG size = 16 * 1024;
  std::vector<unsigned char> buffer;
  ULONG rc = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < 4 && rc == ERROR_BUFFER_OVERFLOW; ++attempt) {
    buffer.resize(size);
    rc = GetAdaptersAddresses(AF_INET, flags, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
  }
  if (rc != NO_ERROR) buffer.clear();
  return buffer;
}

std::string AdapterName(const IP_ADAPTER_ADDRESSES& adapter) {
  if (adapter.FriendlyName == nullptr || *adapter.FriendlyName == L'\0') return adapter.AdapterName;
  return Narrow(adapter.FriendlyName, InvalidText::Replace).value_or(adapter.AdapterName);
}

}  // namespace fwu
