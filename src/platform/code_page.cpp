#include "platform/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <string>

namespace fwu {

namespace {

// glibc carries every Windows code page; most under "CP" and the number.
std::string IconvName(unsigned number) {
  switch (number) {
    case 874: return "WINDOWS-874";  // glibc's CP874 is IBM's, without the euro sign
    case 10000: return "MACINTOSH";
    case 10029: return "MAC-CENTRALEUROPE";
    default: return "CP" + std::to_string(number);
  }
}

class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (Valid()) iconv_close(handle_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool Valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of `in`; false when some of it has no conversion or is
  // incomplete (errno tells which).
  bool Convert(std::string_view in, std::string& out) const {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state
    out.assign(in.size() * 4 + 8, '\0');
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t done = iconv(handle_, &inPtr, &inLeft, &outPtr, &outLeft);
    if (done == static_cast<std::size_t>(-1)) return false;
    if (iconv(handle_, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return false;
    out.resize(out.size() - outLeft);
    return true;
  }

 private:
  iconv_t handle_;
};

class IconvCodePage final : public CodePage {
 public:
  IconvCodePage(unsigned number, const std::string& name)
      : CodePage(number), decoder_("UTF-32LE", name.c_str()), encoder_(name.c_str(), "UTF-8") {}

  bool Valid() const { return decoder_.Valid() && encoder_.Valid(); }

  void Fill() {
    FillTables([this](std::uint8_t byte, char32_t& character) {
      const char in = static_cast<char>(byte);
      if (Decode(std::string_view(&in, 1), character)) return ByteKind::Character;
      return errno == EINVAL ? ByteKind::Lead : ByteKind::Unassigned;
    });
  }

  char32_t DecodePair(std::uint8_t lead, std::uint8_t trail) const override {
    const char in[] = {static_cast<char>(lead), static_cast<char>(trail)};
    char32_t character = kReplacement;
    return Decode(std::string_view(in, 2), character) ? character : kReplacement;
  }

  std::optional<std::string> Encode(std::string_view utf8) const override {
    std::string out;
    if (!encoder_.Convert(utf8, out)) return std::nullopt;
    return out;
  }

 private:
  // True when the bytes are exactly one character.
  bool Decode(std::string_view in, char32_t& character) const {
    if (!decoder_.Convert(in, scratch_) || scratch_.size() != 4) return false;
    const auto byte = [this](std::size_t i) { return static_cast<char32_t>(static_cast<std::uint8_t>(scratch_[i])); };
    character = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
    return true;
  }

  IconvHandle decoder_;
  IconvHandle encoder_;
  mutable std::string scratch_;
};

}  // namespace

std::unique_ptr<CodePage> CodePage::Open(unsigned number) {
  auto codePage = std::make_unique<IconvCodePage>(number, IconvName(number));
  if (!codePage->Valid()) return nullptr;
  codePage->Fill();
  return codePage;
}

}  // namespace fwu
