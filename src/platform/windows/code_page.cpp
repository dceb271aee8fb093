#include "platform/code_page.h"

#include <windows.h>

#include <string>

namespace fwu {

namespace {

class WindowsCodePage final : public CodePage {
 public:
  explicit WindowsCodePage(unsigned number) : CodePage(number) {
    FillTables([number](std::uint8_t byte, char32_t& character) {
      if (IsDBCSLeadByteEx(number, byte)) return ByteKind::Lead;
      const char in = static_cast<char>(byte);
      return Decode(number, std::string_view(&in, 1), character) ? ByteKind::Character : ByteKind::Unassigned;
    });
  }

  char32_t DecodePair(std::uint8_t lead, std::uint8_t trail) const override {
    const char in[] = {static_cast<char>(lead), static_cast<char>(trail)};
    char32_t character = kReplacement;
    return Decode(Number(), std::string_view(in, 2), character) ? character : kReplacement;
  }

  std::optional<std::string> Encode(std::string_view utf8) const override {
    if (utf8.empty()) return std::string();
    const std::wstring wide = Widen(CP_UTF8, utf8);
    if (wide.empty()) return std::nullopt;
    // No best fit: a character the code page lacks is refused, not swapped
    // for a look-alike.
    const DWORD flags = WC_NO_BEST_FIT_CHARS;
    const int size = WideCharToMultiByte(Number(), flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                         nullptr, nullptr);
    if (size <= 0) return std::nullopt;
    std::string out(static_cast<std::size_t>(size), '\0');
    BOOL usedDefault = FALSE;
    WideCharToMultiByte(Number(), flags, wide.data(), static_cast<int>(wide.size()), out.data(), size, nullptr,
                        &usedDefault);
    if (usedDefault) return std::nullopt;
    return out;
  }

 private:
  // The UTF-16 text of bytes in a code page; empty when they are not text
  // in it.
  static std::wstring Widen(unsigned number, std::string_view in) {
    const int size = MultiByteToWideChar(number, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()), nullptr, 0);
    if (size <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(number, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()), wide.data(), size);
    return wide;
  }

  // True when the bytes are exactly one character.
  static bool Decode(unsigned number, std::string_view in, char32_t& character) {
    const std::wstring wide = Widen(number, in);
    if (wide.size() == 1 && (wide[0] < 0xD800 || wide[0] > 0xDFFF)) {
      character = wide[0];
      return true;
    }
    if (wide.size() == 2 && wide[0] >= 0xD800 && wide[0] <= 0xDBFF && wide[1] >= 0xDC00 && wide[1] <= 0xDFFF) {
      character = 0x10000 + ((static_cast<char32_t>(wide[0]) - 0xD800) << 10) + (wide[1] - 0xDC00);
      return true;
    }
    return false;
  }
};

}  // namespace

std::unique_ptr<CodePage> CodePage::Open(unsigned number) {
  if (!IsValidCodePage(number)) return nullptr;
  return std::make_unique<WindowsCodePage>(number);
}

}  // namespace fwu
