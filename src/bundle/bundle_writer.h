#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/bytes.h"

namespace fwu {

struct BundleEntry {
  std::string name;  // stored in the record; at most 31 characters
  std::uint16_t attribute = 0;
  Bytes content;
};

struct BuiltBundle {
  Bytes bytes;        // the executable followed by the bundle; empty on error
  std::string error;  // why nothing was built
  bool Ok() const { return error.empty(); }
};

// Appends a version-4 bundle of `entries`, in their order, behind
// `executable`. Refuses what a reader would refuse: no entries, more than
// the extracted table holds, unsafe or over-long names, and sizes the 32-bit
// fields cannot express.
BuiltBundle BuildBundle(const Bytes& executable, const std::vector<BundleEntry>& entries);

}  // namespace fwu
