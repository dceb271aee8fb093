#include "notice/rtf_reader.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "notice/rtf_control_words.h"
#include "notice/plain_text_notice.h"
#include "notice/rtf_fonts.h"
#include "notice/text_encoding.h"
#include "platform/code_page.h"

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
constexpr int kMaxTwips = 31680;      // 22 inches, the widest page RTF describes
constexpr std::uint32_t kReplacement = 0xFFFD;
// Private-use characters that stand for a symbol font's bytes.
constexpr std::uint32_t kSymbolPrivateUse = 0xF000;

// RowProperties: the properties of a nested table's row, an ignorable
// destination that still holds the row's end.
enum class Destination { Text, FontTable, ColourTable, RowProperties, Skipped };

struct GroupState {
  Destination destination = Destination::Text;
  CharacterStyle style;  // all but the font and colours, which are resolved late
  bool hidden = false;
  int font = -1;         // \fN; -1 until chosen, then the document's default
  int colour = -1;       // \cfN; -1 or an entry without colour: the view's own
  int highlight = -1;    // \highlightN, the same way
  ParagraphFormat paragraph;
  int unicodeFallback = 1;  // \ucN: bytes after \uN that stand in for it
};

// The switches of a character style, in the order of rtf::StyleFlag.
constexpr std::array kStyleFlags = {&CharacterStyle::bold, &CharacterStyle::italic, &CharacterStyle::underline,
                                    &CharacterStyle::strike, &CharacterStyle::capitals};

// What a run's resolved style depends on.
struct StyleKey {
  CharacterStyle style;
  int font = -1;
  int colour = -1;
  int highlight = -1;
  std::uint64_t tablesVersion = 0;
  bool operator==(const StyleKey&) const = default;
};

bool IsLetter(std::uint8_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }

std::optional<int> HexValue(std::uint8_t c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

class RtfReader {
 public:
  explicit RtfReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) { groups_.emplace_back(); }

  StyledText Read() {
    while (!AtEnd() && !ended_) {
      const std::uint8_t c = bytes_[pos_++];
      if (c == '\r' || c == '\n') continue;  // line ends in RTF source are not text
      if (joiner_.WantsRawTrail() && !(c == '\\' && HexEscapeFollows())) {
        TextByte(c);
        continue;
      }
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
        default:
          TextByte(c, true);
      }
    }
    FlushPending();
    if (!paragraph_.runs.empty()) EndParagraph();
    document_.codePage = fonts_.DocumentCodePage();
    return std::move(document_);
  }

 private:
  bool AtEnd() const { return pos_ >= bytes_.size(); }
  GroupState& State() { return groups_.back(); }
  bool HexEscapeFollows() const { return pos_ < bytes_.size() && bytes_[pos_] == '\''; }

  void OpenGroup() {
    FlushLead();
    ++formatChanges_;
    fallbackLeft_ = 0;
    if (groups_.size() < kMaxGroupDepth) {
      groups_.push_back(groups_.back());
    } else {
      ++uncountedDepth_;
    }
  }

  // The group that {\rtf1 opened ends the document: word processors read
  // nothing after it.
  void CloseGroup() {
    FlushPending();
    ++formatChanges_;
    fallbackLeft_ = 0;
    if (uncountedDepth_ > 0) {
      --uncountedDepth_;
    } else if (groups_.size() > 2) {
      groups_.pop_back();
    } else {
      ended_ = true;
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
        return;
      case '\\':
      case '{':
      case '}':
        TextByte(c);
        return;
      default:
        break;
    }
    FlushLead();
    switch (c) {
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
    FlushLead();
    ++formatChanges_;
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
      TextByte(static_cast<std::uint8_t>(value));
    } else {
      FlushLead();
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
      case Action::Cell:
        if (state.destination == Destination::Text) ++cellsEnded_;
        break;
      case Action::RowEnd:
        if (state.destination == Destination::Text || state.destination == Destination::RowProperties) {
          RowEnd();
        }
        break;
      case Action::NestedRowProperties:
        if (groups_.size() > 2 && groups_[groups_.size() - 2].destination == Destination::Text) {
          state.destination = Destination::RowProperties;
        }
        break;
      case Action::StyleFlag:
        state.style.*kStyleFlags[word.value] = on;
        break;
      case Action::UnderlineOff:
        state.style.underline = false;
        break;
      case Action::Hidden:
        state.hidden = on;
        break;
      case Action::Position:
        state.style.position = static_cast<VerticalPosition>(word.value);
        break;
      case Action::Highlight:
        state.highlight = value(0);
        break;
      case Action::Plain:
        state.style = CharacterStyle{};
        state.hidden = false;
        state.font = -1;
        state.colour = -1;
        state.highlight = -1;
        break;
      case Action::FontSize:
        state.style.halfPoints = std::clamp(value(CharacterStyle::kDefaultHalfPoints), 1, kMaxHalfPoints);
        break;
      case Action::Font:
        FontWord(value(0));
        break;
      case Action::FontCharset:
        if (state.destination == Destination::FontTable) fonts_.SetEntryCharset(value(0));
        break;
      case Action::DocumentCharset:
        fonts_.SetDocumentCodePage(word.value);
        break;
      case Action::AnsiCodePage:
        fonts_.SetAnsiCodePage(value(0));
        break;
      case Action::Colour:
        state.colour = value(0);
        break;
      case Action::ColourComponent:
        pendingColour_[word.value] = static_cast<std::uint8_t>(std::clamp(value(0), 0, 255));
        pendingColourSet_ = true;
        break;
      case Action::ParagraphDefaults:
        state.paragraph = ParagraphFormat{};
        break;
      case Action::Align:
        state.paragraph.alignment = static_cast<Alignment>(word.value);
        break;
      case Action::ParagraphLength:
        SetLength(state.paragraph, static_cast<rtf::ParagraphLength>(word.value),
                  std::clamp(value(0), -kMaxTwips, kMaxTwips));
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

  static void SetLength(ParagraphFormat& format, rtf::ParagraphLength length, int twips) {
    switch (length) {
      case rtf::ParagraphLength::LeftIndent: format.leftIndent = twips; break;
      case rtf::ParagraphLength::RightIndent: format.rightIndent = twips; break;
      case rtf::ParagraphLength::FirstLineIndent: format.firstLineIndent = twips; break;
      case rtf::ParagraphLength::SpaceBefore: format.spaceBefore = std::max(twips, 0); break;
      case rtf::ParagraphLength::SpaceAfter: format.spaceAfter = std::max(twips, 0); break;
    }
  }

  void Skip() { State().destination = Destination::Skipped; }

  void FontWord(int number) {
    if (State().destination == Destination::FontTable) {
      fonts_.BeginEntry(number);
    } else {
      State().font = number;
    }
  }

  int CurrentFont() { return State().font >= 0 ? State().font : defaultFont_; }

  const ByteDecoder& CurrentDecoder() {
    if (State().destination == Destination::FontTable) return fonts_.EntryDecoder();
    return fonts_.DecoderOf(CurrentFont());
  }

  // A control word or symbol that stands where a \uN fallback byte is
  // expected takes that byte's place.
  void CountFallback() {
    if (fallbackLeft_ > 0) --fallbackLeft_;
  }

  // One byte of text, raw or escaped, in the current font's code page: a
  // lead byte waits for its trail byte, which may come raw or escaped.
  void TextByte(std::uint8_t byte, bool raw = false) {
    if (fallbackLeft_ > 0) {
      --fallbackLeft_;
      return;
    }
    if (const std::optional<char32_t> character = joiner_.Byte(byte, CurrentDecoder(), raw)) Deliver(*character);
  }

  // A lead byte that no trail byte followed is shown as unreadable, and so
  // is a high surrogate that no low one followed.
  void FlushLead() {
    if (joiner_.Drop()) Deliver(kReplacement);
  }

  void FlushPending() {
    FlushLead();
    if (highSurrogate_) {
      highSurrogate_.reset();
      Put(kReplacement);
    }
  }

  void UnicodeCharacter(int parameter) {
    const std::uint32_t unit = static_cast<std::uint32_t>(parameter < 0 ? parameter + 65536 : parameter) & 0xFFFF;
    if (unit >= 0xDC00 && unit <= 0xDFFF && highSurrogate_) {
      const std::uint32_t high = *highSurrogate_;
      highSurrogate_.reset();
      Emit(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
    } else if (unit >= 0xD800 && unit <= 0xDBFF) {
      FlushPending();  // an earlier high surrogate without its low one
      highSurrogate_ = unit;
    } else if (unit >= kSymbolPrivateUse + 0x20 && unit <= kSymbolPrivateUse + 0xFF &&
               CurrentDecoder().symbol != SymbolFont::None) {
      Emit(SymbolCharacter(CurrentDecoder().symbol, static_cast<std::uint8_t>(unit - kSymbolPrivateUse)));
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
    Deliver(codePoint);
  }

  void Deliver(std::uint32_t codePoint) {
    switch (State().destination) {
      case Destination::Text:
        Emit(codePoint);
        break;
      case Destination::FontTable:
        if (codePoint == ';') {
          fonts_.EndEntry();
          ++tablesVersion_;
        } else {
          fonts_.AppendToName(codePoint);
        }
        break;
      case Destination::ColourTable:
        if (codePoint == ';') {
          colours_.push_back(pendingColourSet_ ? std::optional(TextColour{pendingColour_[0], pendingColour_[1],
                                                                          pendingColour_[2]})
                                               : std::nullopt);
          pendingColour_ = {};
          pendingColourSet_ = false;
          ++tablesVersion_;
        }
        break;
      case Destination::RowProperties:
      case Destination::Skipped:
        break;
    }
  }

  void Emit(std::uint32_t codePoint) {
    if (highSurrogate_) {
      highSurrogate_.reset();
      Put(kReplacement);
    }
    Put(codePoint);
  }

  void Put(std::uint32_t codePoint) {
    if (State().destination != Destination::Text || State().hidden) return;
    if (!IsShownCharacter(codePoint) && codePoint != '\t' && codePoint != '\n') return;
    // Text between two control words or braces keeps its run and format.
    if (paragraph_.runs.empty() || runFormatsChanges_ != formatChanges_) {
      static_cast<ParagraphFormat&>(paragraph_) = State().paragraph;
      const CharacterStyle& style = Resolved(State());
      if (paragraph_.runs.empty() || !(paragraph_.runs.back().style == style)) paragraph_.runs.push_back({{}, style});
      runFormatsChanges_ = formatChanges_;
    }
    std::string& text = paragraph_.runs.back().text;
    // The cells that ended before this text on its row: a tab between each
    // two, none after the last.
    text.append(cellsEnded_, '\t');
    cellsEnded_ = 0;
    AppendUtf8(text, codePoint);
  }

  std::optional<TextColour> TableColour(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= colours_.size()) return std::nullopt;
    return colours_[static_cast<std::size_t>(index)];
  }

  // Text keeps its style for long stretches: the last style resolved is
  // kept until the group's style or the tables change.
  const CharacterStyle& Resolved(const GroupState& state) {
    const StyleKey key{state.style, CurrentFont(), state.colour, state.highlight, tablesVersion_};
    if (!(key == resolvedKey_)) {
      resolvedKey_ = key;
      resolved_ = state.style;
      resolved_.fontName = fonts_.NameOf(key.font);
      resolved_.colour = TableColour(state.colour);
      resolved_.highlight = TableColour(state.highlight);
    }
    return resolved_;
  }

  void ParagraphEnd() {
    if (State().destination == Destination::Text) {
      FlushPending();
      static_cast<ParagraphFormat&>(paragraph_) = State().paragraph;
      EndParagraph();
    }
    CountFallback();
  }

  // A row ends its line. The outer row that held a nested table ends where
  // the nested table's last row did, and adds no empty line.
  void RowEnd() {
    FlushPending();
    if (paragraph_.runs.empty()) {
      cellsEnded_ = 0;
      return;
    }
    static_cast<ParagraphFormat&>(paragraph_) = State().paragraph;
    EndParagraph();
  }

  // A paragraph takes the format in force where its text or its \par
  // stands, not the one left after the last group closed.
  void EndParagraph() {
    document_.paragraphs.push_back(std::move(paragraph_));
    paragraph_ = {};
    cellsEnded_ = 0;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  bool ended_ = false;
  std::vector<GroupState> groups_;
  std::size_t uncountedDepth_ = 0;
  int fallbackLeft_ = 0;
  std::optional<std::uint32_t> highSurrogate_;
  ByteJoiner joiner_;
  std::size_t cellsEnded_ = 0;

  RtfFonts fonts_;
  int defaultFont_ = 0;
  std::vector<std::optional<TextColour>> colours_;
  std::array<std::uint8_t, 3> pendingColour_{};  // red, green, blue
  bool pendingColourSet_ = false;
  std::uint64_t tablesVersion_ = 0;
  // Counts what may change the format (control words, braces); the last
  // run took its format at runFormatsChanges_.
  std::uint64_t formatChanges_ = 0;
  std::uint64_t runFormatsChanges_ = 0;
  std::optional<StyleKey> resolvedKey_;
  CharacterStyle resolved_;

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

}  // namespace

StyledText ReadRtf(std::span<const std::uint8_t> bytes) {
  if (!StartsAsRtf(bytes)) return ReadPlainText(bytes);
  return RtfReader(bytes).Read();
}

}  // namespace fwu
