#include <iostream>

#include "bundle/bundle_layout.h"
#include "bundle/bundle_writer.h"
#include "bundle/initial_setting.h"
#include "commands.h"
#include "notice/message_file.h"
#include "platform/binary_file.h"
#include "platform/files.h"
#include "tool_support.h"

namespace fwu::tool {

namespace {

constexpr const char* kHelp =
    "usage: fwbundle append -o OUT --exe PROGRAM [entries]\n"
    "Writes OUT: a copy of PROGRAM (same permissions) with the entries appended\n"
    "as an upgrade bundle, in this order: control file, upgrade files, message\n"
    "files, then generic entries, each group in the order given.\n"
    "  --control FILE            control file (attribute 0x1000), 224 bytes\n"
    "  --upgrade FILE[:ATTR]     firmware image (default attribute 0x080D)\n"
    "  --message FILE[:ATTR]     message file (default attribute 0x040D)\n"
    "  --entry FILE:ATTR[:NAME]  any entry, stored as NAME (default: FILE's own name)\n"
    "Entries are stored under their file names (31 characters at most).\n"
    "ATTR is decimal or 0x hex: type byte high, check byte low.\n";

std::uint16_t ParseAttribute(const std::string& text, const std::string& option) {
  return static_cast<std::uint16_t>(ParseNumber(text, 0xFFFF, option + " attribute"));
}

bool IsNumber(const std::string& text) {
  try {
    ParseNumber(text, UINT64_MAX, "");
    return true;
  } catch (const UsageError&) {
    return false;
  }
}

struct EntrySource {
  std::string file;
  std::uint16_t attribute;
  std::string name;
};

// FILE[:ATTR]: the part after the last colon is an attribute only when it is
// a number, so paths with colons still work.
EntrySource ParseFileWithAttribute(const std::string& text, std::uint16_t fallback, const std::string& option) {
  const auto colon = text.rfind(':');
  if (colon != std::string::npos && IsNumber(text.substr(colon + 1))) {
    const std::string file = text.substr(0, colon);
    return {file, ParseAttribute(text.substr(colon + 1), option), FileNamePart(file)};
  }
  return {text, fallback, FileNamePart(text)};
}

// FILE:ATTR or FILE:ATTR:NAME.
EntrySource ParseGenericEntry(const std::string& text) {
  const auto last = text.rfind(':');
  if (last == std::string::npos) throw UsageError("--entry " + text + ": expected FILE:ATTR[:NAME]");
  if (IsNumber(text.substr(last + 1))) return ParseFileWithAttribute(text, 0, "--entry");
  const auto previous = last == 0 ? std::string::npos : text.rfind(':', last - 1);
  if (previous == std::string::npos || !IsNumber(text.substr(previous + 1, last - previous - 1))) {
    throw UsageError("--entry " + text + ": expected FILE:ATTR[:NAME]");
  }
  return {text.substr(0, previous), ParseAttribute(text.substr(previous + 1, last - previous - 1), "--entry"),
          text.substr(last + 1)};
}

BundleEntry Load(const EntrySource& source) { return {source.name, source.attribute, ReadInput(source.file)}; }

// Catches the commonest mistake, a file given in the wrong role, before it
// reaches a router.
void CheckContent(const BundleEntry& entry, const std::string& file) {
  if ((entry.attribute & attr::kControlFile) && entry.content.size() != InitialSetting::kSize) {
    throw ToolError(file + ": a control file has " + std::to_string(InitialSetting::kSize) + " bytes, not " +
                    std::to_string(entry.content.size()));
  }
  if (entry.attribute & attr::kMessageFile) {
    const auto message = MessageFile::Parse(entry.content);
    if (!message || message->rtfClipped) throw ToolError(file + ": not a complete message file");
  }
}

}  // namespace

int RunAppend(const std::vector<std::string>& args) {
  const ParsedOptions options = ParseOptions(args, {{"-o"},
                                                    {"--exe"},
                                                    {"--control"},
                                                    {"--upgrade", true, true},
                                                    {"--message", true, true},
                                                    {"--entry", true, true}});
  if (options.HelpWanted()) {
    std::cout << kHelp;
    return 0;
  }
  if (!options.Positionals().empty()) throw UsageError("unexpected argument " + options.Positionals().front());
  const std::string output = options.Required("-o");
  const std::string program = options.Required("--exe");

  std::vector<EntrySource> sources;
  if (options.Has("--control")) {
    const std::string file = options.Value("--control");
    sources.push_back({file, attr::kControlFile, FileNamePart(file)});
  }
  for (const std::string& text : options.Values("--upgrade")) {
    sources.push_back(ParseFileWithAttribute(text, attr::kUserChosenFile, "--upgrade"));
  }
  for (const std::string& text : options.Values("--message")) {
    sources.push_back(ParseFileWithAttribute(text, 0x040D, "--message"));
  }
  for (const std::string& text : options.Values("--entry")) sources.push_back(ParseGenericEntry(text));
  if (sources.empty()) throw UsageError("no entries to append");

  const Bytes executable = ReadInput(program);
  // A second bundle behind the first would hide it inside the "program".
  if (ReadBundleLayout(MemorySource(executable)).status != BundleStatus::NoBundle) {
    throw ToolError(program + " already carries a bundle; append to the plain program");
  }
  std::vector<BundleEntry> entries;
  for (const EntrySource& source : sources) {
    entries.push_back(Load(source));
    CheckContent(entries.back(), source.file);
  }
  const BuiltBundle built = BuildBundle(executable, entries);
  if (!built.Ok()) throw ToolError(built.error);
  const auto mode = FilePermissions(program);
  WriteOutput(output, built.bytes, mode ? static_cast<int>(*mode) : -1);
  return 0;
}

}  // namespace fwu::tool
