#pragma once

#include <cstdint>
#include <string>

#include "bundle/bundle_layout.h"

namespace fwu {

// The bundle of a file as tools see it: no dialogs, no temporary files,
// plain error texts.
struct BundleListing {
  std::string error;  // empty when the file carries a bundle this program reads
  std::uint64_t fileSize = 0;
  BundleLayout layout;
};

BundleListing ListBundle(const std::string& path);

// Writes every entry of the bundle in `path` under its own stored name into
// `directory`, each file complete or not at all. Returns an error text, or
// empty on success. Refuses a bundle in which two entries share a name,
// since one would silently replace the other.
std::string ExtractBundle(const std::string& path, const std::string& directory);

}  // namespace fwu
