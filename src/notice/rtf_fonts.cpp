#include "notice/rtf_fonts.h"

#include "notice/font_charset.h"
#include "notice/text_encoding.h"

namespace fwu {

namespace {

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

RtfFonts::RtfFonts() : characterSet_(kWesternCodePage) {}

void RtfFonts::SetDocumentCodePage(unsigned number) {
  characterSet_ = number;
  cachedFont_.reset();
}

void RtfFonts::SetAnsiCodePage(long number) {
  if (number > 0 && IsNoticeCodePage(static_cast<unsigned>(number))) ansiCodePage_ = static_cast<unsigned>(number);
  cachedFont_.reset();
}

unsigned RtfFonts::DocumentCodePage() const { return ansiCodePage_.value_or(characterSet_); }

void RtfFonts::BeginEntry(int number) {
  entryNumber_ = number;
  entry_ = {};
}

void RtfFonts::SetEntryCharset(int charset) { entry_.charset = charset; }

void RtfFonts::AppendToName(char32_t character) { AppendUtf8(entry_.name, character); }

void RtfFonts::EndEntry() {
  entry_.name = Trimmed(entry_.name);
  entry_.symbol = SymbolFontOf(entry_.name, entry_.charset == kSymbolCharset);
  fonts_[entryNumber_] = std::move(entry_);
  entry_ = {};
  cachedFont_.reset();
}

const ByteDecoder& RtfFonts::EntryDecoder() {
  entryDecoder_ = {&CodePageFor(entry_.charset), SymbolFont::None};
  return entryDecoder_;
}

std::string RtfFonts::NameOf(int font) const {
  const auto found = fonts_.find(font);
  if (found == fonts_.end() || found->second.symbol != SymbolFont::None) return {};
  return found->second.name;
}

const ByteDecoder& RtfFonts::DecoderOf(int font) {
  if (cachedFont_ != font) {
    const auto found = fonts_.find(font);
    cachedDecoder_ = found != fonts_.end() ? Resolve(found->second) : ByteDecoder{&CodePageFor(std::nullopt)};
    cachedFont_ = font;
  }
  return cachedDecoder_;
}

ByteDecoder RtfFonts::Resolve(const Font& font) const { return {&CodePageFor(font.charset), font.symbol}; }

const CodePage& RtfFonts::CodePageFor(std::optional<int> charset) const {
  const std::optional<unsigned> own = charset ? CodePageOfCharset(*charset) : std::nullopt;
  return NoticeCodePage(own.value_or(DocumentCodePage()));
}

}  // namespace fwu
