#include "bundle/bundle_archive.h"

#include <set>

#include "platform/binary_file.h"
#include "platform/files.h"

namespace fwu {

namespace {

std::string DescribeProblem(const BundleLayout& layout) {
  switch (layout.status) {
    case BundleStatus::Ok:
      return {};
    case BundleStatus::NoBundle:
      return "no bundle: the file does not end with the bundle magic";
    case BundleStatus::TrailerUnreadable:
      return "the file is too short to hold a bundle trailer";
    case BundleStatus::UnsupportedVersion:
      return "bundle format version " + std::to_string(layout.version) + " is not supported (only " +
             std::to_string(bundle_format::kVersion) + ")";
    case BundleStatus::Malformed:
      return "the bundle trailer or its records do not fit the file";
    case BundleStatus::TooManyEntries:
      return "the bundle holds more than " + std::to_string(bundle_format::kMaxEntries) + " entries";
    case BundleStatus::UnsafeName:
      return "unsafe entry name \"" + layout.badName + "\"";
  }
  return "unknown bundle status";
}

}  // namespace

BundleListing ListBundle(const std::string& path) {
  BundleListing listing;
  ReadOnlyFile file;
  if (!file.Open(path)) {
    listing.error = "cannot open " + path;
    return listing;
  }
  listing.fileSize = file.Size();
  listing.layout = ReadBundleLayout(file);
  listing.error = DescribeProblem(listing.layout);
  return listing;
}

std::string ExtractBundle(const std::string& path, const std::string& directory) {
  ReadOnlyFile file;
  if (!file.Open(path)) return "cannot open " + path;
  const BundleLayout layout = ReadBundleLayout(file);
  if (const std::string problem = DescribeProblem(layout); !problem.empty()) return problem;
  std::set<std::string> names;
  for (const BundleRecord& record : layout.records) {
    if (!names.insert(record.name).second) return "two entries are named \"" + record.name + "\"";
  }
  const std::string prefix =
      directory.empty() || FileNamePart(directory).empty() ? directory : directory + kPathSeparator;
  for (const BundleRecord& record : layout.records) {
    Bytes content(record.contentLength);
    if (!file.ReadAt(record.contentOffset, content.data(), content.size())) return "cannot read " + record.name;
    if (!WriteFileAtomically(prefix + record.name, content)) return "cannot write " + prefix + record.name;
  }
  return {};
}

}  // namespace fwu
