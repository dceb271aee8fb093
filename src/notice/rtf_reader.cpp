#include "notice/rtf_reader.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "notice/rtf_control_words.h"
#include "notice/text_encoding.h"

namespace fwu {

namespace {

using rtf::Action;
using rtf::Word;

// Deeper groups are still counted, so braces stay balanced, but share the
// innermost kept state: nesting costs no memory beyond this.
constexpr std::size_t kMaxGroupDepth = 256;
// RTF limits control words to 32 letters; longer ones cannot be known words.
constexpr std::size_t kMaxWordLength = 32;
constexpr long kMaxParameter = 1'000'000'000;
constexpr int kMaxHalfPoints = 3276;  // the largest size Windows rich text knows
constexpr std::uint32_t kReplacement = 0xFFFD;

enum class Destination { Text, FontTable, ColourTable, Skipped };

struct GroupState {
  Destination destination = Destination::Text;
  CharacterStyle style;  // all but the font and colour, which are resolved late
  int font = -1;         // \fN; -1 until chosen, then the document's default
  int colour = -1;       // \cfN; -1 or an entry without colour: the view's own
  Alignment alignment = Alignment::Left;
  int unicodeFallback = 1;  // \ucN: characters after \uN that stand in for it
};

bool IsLetter(std::uint8_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }

std::optional<int> HexValue(std::uint8_t c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

class RtfReader {
 public:
  explicit RtfReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) { groups_.emplace_back(); }

  StyledText Read() {
    while (!AtEnd()) {
      const std::uint8_t c = bytes_[pos_++];
      switch (c) {
        case '{':
          OpenGroup();
          break;
        case '}':
          CloseGroup();
          break;
        case '\\':
          ReadControl();
          break;
        case '\r':
        case '\n':
          break;  // line ends in RTF source are not text
        default:
          Character(WindowsWesternToUnicode(c));
      }
    }
    FlushSurrogate();
    if (!paragraph_.runs.empty()) EndParagraph();
    return std::move(document_);
  }

 private:
  bool AtEnd() const { return pos_ >= bytes_.size(); }
  GroupState& State() { return groups_.back(); }

  void OpenGroup() {
    fallbackLeft_ = 0;
    if (groups_.size() < kMaxGroupDepth) {
      groups_.push_back(groups_.back());
    } else {
      ++uncountedDepth_;
    }
  }

  void CloseGroup() {
    fallbackLeft_ = 0;
    FlushSurrogate();
    if (uncountedDepth_ > 0) {
      --uncountedDepth_;
    } else if (groups_.size() > 1) {
      groups_.pop_back();
    }
  }

  void ReadControl() {
    if (AtEnd()) return;
    const std::uint8_t c = bytes_[pos_];
    if (IsLetter(c)) {
      ReadControlWord();
      return;
    }
    ++pos_;
    switch (c) {
      case '\'':
        ReadHexEscape();
        break;
      case '\\':
      case '{':
      case '}':
        Character(c);
        break;
      case '~':
        Character(0x00A0);
        break;
      case '_':
        Character(0x2011);
        break;
      case '*':
        // An ignorable destination: whatever it is, it is not text we show.
        Skip();
        break;
      case '\r':
      case '\n':
        ParagraphEnd();
        break;
      default:
        CountFallback();  // \- and the other symbols show nothing
    }
  }

  void ReadControlWord() {
    std::string name;
    while (!AtEnd() && IsLetter(bytes_[pos_])) {
      if (name.size() <= kMaxWordLength) name.push_back(static_cast<char>(bytes_[pos_]));
      ++pos_;
    }
    std::optional<long> parameter;
    const bool negative = !AtEnd() && bytes_[pos_] == '-' && pos_ + 1 < bytes_.size() && IsDigit(bytes_[pos_ + 1]);
    if (negative) ++pos_;
    while (!AtEnd() && IsDigit(bytes_[pos_])) {
      parameter = std::min(parameter.value_or(0) * 10 + (bytes_[pos_] - '0'), kMaxParameter);
      ++pos_;
    }
    if (negative) parameter = -*parameter;
    if (!AtEnd() && bytes_[pos_] == ' ') ++pos_;  // the delimiter belongs to the word
    const Word* word = name.size() <= kMaxWordLength ? rtf::FindWord(name) : nullptr;
    if (word == nullptr) {
      CountFallback();
      return;
    }
    Apply(*word, parameter);
  }

  void ReadHexEscape() {
    int value = 0;
    int digits = 0;
    while (digits < 2 && !AtEnd()) {
      const std::optional<int> digit = HexValue(bytes_[pos_]);
      if (!digit) break;
      value = value * 16 + *digit;
      ++digits;
      ++pos_;
    }
    if (digits == 2) {
      Character(WindowsWesternToUnicode(static_cast<std::uint8_t>(value)));
    } else {
      CountFallback();
    }
  }

  void Apply(const Word& word, std::optional<long> parameter) {
    GroupState& state = State();
    const auto value = [&parameter](long fallback) { return static_cast<int>(parameter.value_or(fallback)); };
    const bool on = parameter.value_or(1) != 0;
    switch (word.action) {
      case Action::Char:
        Character(word.value);
        return;
      case Action::ParagraphEnd:
        ParagraphEnd();
        return;
      case Action::Bold:
        state.style.bold = on;
        break;
      case Action::Italic:
        state.style.italic = on;
        break;
      case Action::Underline:
        state.style.underline = on;
        break;
      case Action::UnderlineOff:
        state.style.underline = false;
        break;
      case Action::Plain:
        state.style = CharacterStyle{};
        state.font = -1;
        state.colour = -1;
        break;
      case Action::FontSize:
        state.style.halfPoints = std::clamp(value(CharacterStyle::kDefaultHalfPoints), 1, kMaxHalfPoints);
        break;
      case Action::Font:
        FontWord(value(0));
        break;
      case Action::Colour:
        state.colour = value(0);
        break;
      case Action::ColourComponent:
        pendingColour_[word.value] = static_cast<std::uint8_t>(std::clamp(value(0), 0, 255));
        pendingColourSet_ = true;
        break;
      case Action::ParagraphDefaults:
        state.alignment = Alignment::Left;
        break;
      case Action::Align:
        state.alignment = static_cast<Alignment>(word.value);
        break;
      case Action::Unicode:
        UnicodeCharacter(value(0));
        return;
      case Action::UnicodeFallback:
        state.unicodeFallback = std::max(value(1), 0);
        break;
      case Action::DefaultFont:
        defaultFont_ = value(0);
        break;
      case Action::Binary:
        // Raw data of that length follows; it is never text.
        pos_ += std::min<std::size_t>(static_cast<std::size_t>(std::max(value(0), 0)), bytes_.size() - pos_);
        break;
      case Action::FontTable:
        state.destination = Destination::FontTable;
        break;
      case Action::ColourTable:
        state.destination = Destination::ColourTable;
        break;
      case Action::SkipDestination:
        Skip();
        break;
    }
    CountFallback();
  }

  void Skip() { State().destination = Destination::Skipped; }

  void FontWord(int number) {
    if (State().destination == Destination::FontTable) {
      tableFont_ = number;
      fontName_.clear();
    } else {
      State().font = number;
    }
  }

  // A control word or symbol that stands where a \uN fallback character is
  // expected takes that character's place.
  void CountFallback() {
    if (fallbackLeft_ > 0) --fallbackLeft_;
  }

  void UnicodeCharacter(int parameter) {
    const std::uint32_t unit = static_cast<std::uint32_t>(parameter < 0 ? parameter + 65536 : parameter) & 0xFFFF;
    if (unit >= 0xDC00 && unit <= 0xDFFF && highSurrogate_) {
      const std::uint32_t high = *highSurrogate_;
      highSurrogate_.reset();
      Emit(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
    } else if (unit >= 0xD800 && unit <= 0xDBFF) {
      FlushSurrogate();
      highSurrogate_ = unit;
    } else {
      Emit(unit);
    }
    fallbackLeft_ = State().unicodeFallback;
  }

  void Character(std::uint32_t codePoint) {
    if (fallbackLeft_ > 0) {
      --fallbackLeft_;
      return;
    }
    switch (State().destination) {
      case Destination::Text:
        Emit(codePoint);
        break;
      case Destination::FontTable:
        if (codePoint == ';') {
          fonts_[tableFont_] = Trimmed(fontName_);
          fontName_.clear();
        } else {
          AppendUtf8(fontName_, codePoint);
        }
        break;
      case Destination::ColourTable:
        if (codePoint == ';') {
          colours_.push_back(pendingColourSet_ ? std::optional(TextColour{pendingColour_[0], pendingColour_[1],
                                                                          pendingColour_[2]})
                                               : std::nullopt);
          pendingColour_ = {};
          pendingColourSet_ = false;
        }
        break;
      case Destination::Skipped:
        break;
    }
  }

  // A high surrogate that no low one followed is shown as unreadable.
  void FlushSurrogate() {
    if (!highSurrogate_) return;
    highSurrogate_.reset();
    Put(kReplacement);
  }

  void Emit(std::uint32_t codePoint) {
    FlushSurrogate();
    Put(codePoint);
  }

  void Put(std::uint32_t codePoint) {
    if (State().destination != Destination::Text) return;
    if (codePoint < 0x20 && codePoint != '\t' && codePoint != '\n') return;
    paragraph_.alignment = State().alignment;
    const CharacterStyle style = Resolved(State());
    if (paragraph_.runs.empty() || !(paragraph_.runs.back().style == style)) paragraph_.runs.push_back({{}, style});
    AppendUtf8(paragraph_.runs.back().text, codePoint);
  }

  CharacterStyle Resolved(const GroupState& state) const {
    CharacterStyle style = state.style;
    const auto font = fonts_.find(state.font >= 0 ? state.font : defaultFont_);
    if (font != fonts_.end()) style.fontName = font->second;
    if (state.colour >= 0 && static_cast<std::size_t>(state.colour) < colours_.size()) {
      style.colour = colours_[static_cast<std::size_t>(state.colour)];
    }
    return style;
  }

  void ParagraphEnd() {
    if (State().destination == Destination::Text) {
      FlushSurrogate();
      paragraph_.alignment = State().alignment;
      EndParagraph();
    }
    CountFallback();
  }

  // A paragraph takes the alignment in force where its text or its \par
  // stands, not the one left after the last group closed.
  void EndParagraph() {
    document_.paragraphs.push_back(std::move(paragraph_));
    paragraph_ = {};
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  std::vector<GroupState> groups_;
  std::size_t uncountedDepth_ = 0;
  int fallbackLeft_ = 0;
  std::optional<std::uint32_t> highSurrogate_;

  std::map<int, std::string> fonts_;
  int defaultFont_ = 0;
  int tableFont_ = 0;
  std::string fontName_;
  std::vector<std::optional<TextColour>> colours_;
  std::array<std::uint8_t, 3> pendingColour_{};  // red, green, blue
  bool pendingColourSet_ = false;

  StyledText document_;
  Paragraph paragraph_;
};

bool StartsAsRtf(std::span<const std::uint8_t> bytes) {
  constexpr std::string_view kOpening = "{\\rtf";
  std::size_t start = 0;
  while (start < bytes.size() && (bytes[start] == ' ' || bytes[start] == '\r' || bytes[start] == '\n')) ++start;
  if (bytes.size() - start < kOpening.size()) return false;
  return std::equal(kOpening.begin(), kOpening.end(), bytes.begin() + static_cast<std::ptrdiff_t>(start));
}

StyledText ReadPlainText(std::span<const std::uint8_t> bytes) {
  StyledText document;
  Paragraph paragraph;
  const auto endLine = [&] {
    document.paragraphs.push_back(std::move(paragraph));
    paragraph = {};
  };
  for (const std::uint8_t byte : bytes) {
    if (byte == '\n') {
      endLine();
      continue;
    }
    if (byte < 0x20 && byte != '\t') continue;
    if (paragraph.runs.empty()) paragraph.runs.emplace_back();
    AppendUtf8(paragraph.runs.back().text, WindowsWesternToUnicode(byte));
  }
  if (!paragraph.runs.empty()) endLine();
  return document;
}

}  // namespace

StyledText ReadRtf(std::span<const std::uint8_t> bytes) {
  if (!StartsAsRtf(bytes)) return ReadPlainText(bytes);
  return RtfReader(bytes).Read();
}

}  // namespace fwu
