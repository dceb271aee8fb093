#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bundle/bundle_writer.h"
#include "notice/notice_presenter.h"
#include "platform/bytes.h"
#include "platform/environment.h"
#include "platform/files.h"
#include "platform/manual_event_loop.h"
#include "platform/temp_dir.h"
#include "ui/controls.h"
#include "ui/scripted_dialogs.h"

namespace fwu::test {

class RecordingNoticePresenter final : public NoticePresenter {
 public:
  void Offer(const NoticeOffer& offer) override {
    offers.push_back(offer);
    if (failNext) throw std::runtime_error("notice window failed");
  }
  void Show(const MessageFile&) override {}
  std::vector<NoticeOffer> offers;
  bool failNext = false;
};

// Points the temporary-directory variable at a private directory for the
// test, so that what the reader leaves behind (or not) can be seen, and
// puts it back afterwards.
class IsolatedTempTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedTmpDir_ = EnvironmentValue(kTempDirVariable);
    ASSERT_TRUE(root_.Valid());
    SetEnvironmentValue(kTempDirVariable, Root());
  }
  void TearDown() override {
    if (savedTmpDir_) {
      SetEnvironmentValue(kTempDirVariable, *savedTmpDir_);
    } else {
      UnsetEnvironmentValue(kTempDirVariable);
    }
  }

  std::string Root() const {
    const std::string& path = root_.PathWithSeparator();
    return path.substr(0, path.size() - 1);
  }
  // Writes a file under the root, outside any reader's directory.
  std::string WriteInput(const std::string& name, const Bytes& content) const {
    const std::string path = root_.PathWithSeparator() + name;
    EXPECT_TRUE(WriteWholeFile(path, content));
    return path;
  }
  // Every regular file below the root except the inputs the test wrote.
  std::vector<std::string> FilesMadeByReaders() const {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Root())) {
      if (entry.path().parent_path() != Root()) found.push_back(entry.path().string());
    }
    return found;
  }

  ManualEventLoop loop_;
  ScriptedDialogs dialogs_{loop_};
  RecordingNoticePresenter notices_;
  MemoModel log_;

 private:
  PrivateTempDir root_;
  std::optional<std::string> savedTmpDir_;
};

// The dialogs showed exactly one box, this one.
inline void ExpectOnlyBox(const ScriptedDialogs& dialogs, const std::string& text, const std::string& caption,
                          ButtonSet buttons, const std::string& label = {}) {
  ASSERT_EQ(dialogs.Messages().size(), 1u) << label;
  EXPECT_EQ(dialogs.Messages()[0].text, text) << label;
  EXPECT_EQ(dialogs.Messages()[0].caption, caption) << label;
  EXPECT_EQ(dialogs.Messages()[0].buttons, buttons) << label;
}

inline Bytes Filled(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
  return bytes;
}

// The shape of the bundle the program ships with: control file, one
// firmware image, one notice.
inline std::vector<BundleEntry> DeliveredEntries() {
  return {{"control.cfg", 0x1000, Filled(224, 1)},
          {"fw_image.bin", 0x080D, Filled(3000, 2)},
          {"notice1.tmp", 0x040D, Filled(400, 3)}};
}

inline Bytes BuildOrFail(const Bytes& executable, const std::vector<BundleEntry>& entries) {
  const BuiltBundle built = BuildBundle(executable, entries);
  EXPECT_TRUE(built.Ok()) << built.error;
  return built.bytes;
}

}  // namespace fwu::test
