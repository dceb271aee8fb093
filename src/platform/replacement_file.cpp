#include "platform/replacement_file.h"

#include "platform/files.h"

namespace fwu {

ReplacementFile::~ReplacementFile() { Discard(); }

bool ReplacementFile::Create(const std::string& target) {
  Discard();
  target_ = target;
  return side_.CreateBeside(target, sidePath_);
}

bool ReplacementFile::Replace() {
  if (sidePath_.empty()) return false;
  // Replacing an older backup keeps the most recent earlier data safe.
  if (FileExists(target_)) RenameFile(target_, target_ + ".BAK");
  if (!RenameFile(sidePath_, target_)) return false;
  sidePath_.clear();
  return true;
}

void ReplacementFile::Discard() {
  side_.Close();
  if (!sidePath_.empty()) RemoveFile(sidePath_);
  sidePath_.clear();
}

}  // namespace fwu
