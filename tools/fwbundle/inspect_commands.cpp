#include <filesystem>
#include <iomanip>
#include <iostream>
#include <system_error>

#include "bundle/bundle_archive.h"
#include "bundle/file_table.h"
#include "bundle/section_letters.h"
#include "commands.h"
#include "tool_support.h"

namespace fwu::tool {

namespace {

constexpr const char* kListHelp =
    "usage: fwbundle list FILE\n"
    "Shows each entry of the bundle in FILE: number, attribute, size, section, name.\n";
constexpr const char* kExtractHelp =
    "usage: fwbundle extract FILE -d DIR\n"
    "Writes each entry of the bundle in FILE into DIR under its stored name.\n";

std::string SingleFile(const ParsedOptions& options) {
  if (options.Positionals().size() != 1) throw UsageError("expected exactly one FILE");
  return options.Positionals().front();
}

}  // namespace

int RunList(const std::vector<std::string>& args) {
  const ParsedOptions options = ParseOptions(args, {});
  if (options.HelpWanted()) {
    std::cout << kListHelp;
    return 0;
  }
  const BundleListing listing = ListBundle(SingleFile(options));
  if (!listing.error.empty()) throw ToolError(listing.error);
  const BundleLayout& layout = listing.layout;
  std::cout << "version " << layout.version << ", " << layout.records.size() << " entries, program part "
            << layout.executableSize << " bytes, bundle " << listing.fileSize - layout.executableSize
            << " bytes\n";
  std::cout << " #  attribute  section  size        name\n";
  std::string sections;
  for (std::size_t i = 0; i < layout.records.size(); ++i) {
    const BundleRecord& record = layout.records[i];
    const int section = attr::SectionNumber(record.attribute);
    const char letter = SectionLetter(section);
    AddSectionLetter(sections, section);
    std::cout << std::setw(2) << i + 1 << "  0x" << std::hex << std::uppercase << std::setw(4) << std::setfill('0')
              << record.attribute << std::dec << std::setfill(' ') << "     " << (letter ? letter : '-')
              << "        " << std::left << std::setw(10) << record.contentLength << "  " << record.name
              << std::right << "\n";
  }
  std::cout << "sections: " << (sections.empty() ? "none" : sections) << "\n";
  return 0;
}

int RunExtract(const std::vector<std::string>& args) {
  const ParsedOptions options = ParseOptions(args, {{"-d"}});
  if (options.HelpWanted()) {
    std::cout << kExtractHelp;
    return 0;
  }
  const std::string file = SingleFile(options);
  const std::string directory = options.Required("-d");
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error) throw ToolError("cannot create " + directory + ": " + error.message());
  if (const std::string problem = ExtractBundle(file, directory); !problem.empty()) throw ToolError(problem);
  return 0;
}

}  // namespace fwu::tool
