#include "platform/temp_dir.h"

#include "platform/windows/winsock.h"

#include <aclapi.h>
#include <sddl.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <system_error>

#include "platform/file_system_path.h"
#include "platform/files.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/user_sid.h"

namespace fwu {

namespace {

constexpr int kNameAttempts = 100;
constexpr const char* kLocalSystemSid = "S-1-5-18";

std::string RandomSuffix(std::mt19937& random) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string suffix;
  for (int i = 0; i < 6; ++i) suffix += kLetters[random() % (sizeof kLetters - 1)];
  return suffix;
}

}  // namespace

// The directory's access list is protected (nothing inherited from the
// temporary directory above it) and grants the current user alone full
// access, inherited by every file and directory made inside it.
PrivateTempDir::PrivateTempDir() {
  const std::string sid = CurrentUserSid();
  if (sid.empty()) return;
  const std::wstring descriptorText = L"D:P(A;OICI;FA;;;" + std::wstring(sid.begin(), sid.end()) + L")";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(descriptorText.c_str(), SDDL_REVISION_1, &descriptor,
                                                            nullptr)) {
    return;
  }
  const std::unique_ptr<void, decltype(&LocalFree)> owner(descriptor, LocalFree);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};

  // TMP, TEMP, then the user's profile; the answer ends with a backslash.
  wchar_t base[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, base);
  if (length == 0 || length > MAX_PATH) return;
  const std::optional<std::string> where = Narrow(std::wstring_view(base, length));
  if (!where) return;
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string candidate = *where + "fwupgrade-" + RandomSuffix(random);
    const auto wideCandidate = Widen(candidate);
    if (wideCandidate && CreateDirectoryW(wideCandidate->c_str(), &attributes)) {
      path_ = candidate + kPathSeparator;
      return;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) continue;
    // Where, as the user named it, and why in the words the POSIX build
    // uses for the commonest case: a temporary directory that is not there.
    const bool missing = error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND;
    failure_ = where->substr(0, where->size() - 1) + " : " +
               (missing ? std::string(std::strerror(ENOENT)) : SystemErrorText(error));
    return;
  }
}

PrivateTempDir::~PrivateTempDir() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(FileSystemPath(path_), ignored);
}

// The system account stays: Windows itself runs as it, and no access list
// can keep it out. Deny entries grant nothing, so only grants are looked at.
bool OnlyCurrentUserHasAccess(const std::string& path) {
  const std::string user = CurrentUserSid();
  PACL acl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const auto widePath = Widen(path);
  if (user.empty() || !widePath ||
      GetNamedSecurityInfoW(widePath->c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &acl,
                            nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  const std::unique_ptr<void, decltype(&LocalFree)> owner(descriptor, LocalFree);
  if (acl == nullptr) return false;  // no list at all admits everyone
  bool userHasAll = false;
  for (DWORD i = 0; i < acl->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(acl, i, &ace)) return false;
    const auto* header = static_cast<const ACE_HEADER*>(ace);
    if (header->AceType == ACCESS_DENIED_ACE_TYPE) continue;
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) return false;
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
    const std::string sid = SidText(const_cast<DWORD*>(&allowed->SidStart));
    if (sid.empty()) return false;
    if (sid == user) {
      userHasAll = userHasAll || (allowed->Mask & FILE_ALL_ACCESS) == FILE_ALL_ACCESS;
    } else if (sid != kLocalSystemSid) {
      return false;
    }
  }
  return userHasAll;
}

}  // namespace fwu
