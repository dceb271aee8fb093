#include <iostream>
#include <optional>
#include <string>

#include "commands.h"
#include "notice/message_file.h"
#include "notice/rtf_reader.h"
#include "notice/text_encoding.h"
#include "platform/bytes.h"
#include "platform/code_page.h"
#include "tool_support.h"

namespace fwu::tool {

namespace {

constexpr const char* kHelp =
    "usage: fwbundle message -o FILE --rtf RTF [options]\n"
    "Writes a message file: a 125-byte header followed by the RTF document.\n"
    "  -o FILE            where to write it (required)\n"
    "  --rtf RTF          the notice text as an RTF document, 65535 bytes at most (required)\n"
    "  --name N           message name, 16 characters at most (default empty)\n"
    "  --caption C        window title (default MESSAGE), written in the code page the RTF document\n"
    "                     declares with \\ansicpg (1252 without one): 64 bytes at most in it\n"
    "  --display-time N   ticks of 100 ms before it closes, 0 never (default 0; above 80 acts as 80)\n"
    "  --no-tftp 0|1      1: not shown during TFTP upgrades (default 0)\n"
    "  --no-ftp 0|1       1: not shown during HTTP and FTP upgrades (default 0)\n"
    "  --back-color N     text background, 0x00BBGGRR or 0x800000nn for a system colour (default 0x80000005)\n"
    "  --no-blink 0|1     1: the text does not blink (default 1)\n";

std::uint8_t Flag(const ParsedOptions& options, const std::string& name, const char* fallback) {
  return static_cast<std::uint8_t>(ParseNumber(options.Value(name, fallback), 1, name));
}

// The program reads the caption in the code page of the document it heads,
// so it is written in that code page, never as bytes it would misread.
std::string CaptionInCodePage(const std::string& caption, const std::string& rtf) {
  const unsigned codePage = ReadRtf(ToBytes(rtf)).codePage;
  std::optional<std::string> encoded = NoticeCodePage(codePage).Encode(caption);
  if (!encoded) {
    throw UsageError("the caption \"" + caption + "\" cannot be written in code page " + std::to_string(codePage) +
                     ", the RTF document's code page (its \\ansicpg, else 1252)");
  }
  return *encoded;
}

}  // namespace

int RunMessage(const std::vector<std::string>& args) {
  const ParsedOptions options =
      ParseOptions(args, {{"-o"}, {"--rtf"}, {"--name"}, {"--caption"}, {"--display-time"}, {"--no-tftp"},
                          {"--no-ftp"}, {"--back-color"}, {"--no-blink"}});
  if (options.HelpWanted()) {
    std::cout << kHelp;
    return 0;
  }
  if (!options.Positionals().empty()) throw UsageError("unexpected argument " + options.Positionals().front());
  const std::string output = options.Required("-o");
  MessageFile message;
  message.rtf = ToText(ReadInput(options.Required("--rtf")));
  message.messageName = options.Value("--name");
  message.messageCaption = CaptionInCodePage(options.Value("--caption", "MESSAGE"), message.rtf);
  message.displayTime = static_cast<std::uint16_t>(ParseNumber(options.Value("--display-time", "0"), 65535, "--display-time"));
  message.noTftpFlag = Flag(options, "--no-tftp", "0");
  message.noFtpFlag = Flag(options, "--no-ftp", "0");
  message.backColor = static_cast<std::uint32_t>(
      ParseNumber(options.Value("--back-color", "0x80000005"), UINT32_MAX, "--back-color"));
  message.noBlink = Flag(options, "--no-blink", "1");
  if (const std::string problem = message.Problem(); !problem.empty()) throw UsageError(problem);
  WriteOutput(output, message.Serialize());
  return 0;
}

}  // namespace fwu::tool
