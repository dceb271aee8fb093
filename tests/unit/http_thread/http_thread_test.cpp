#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

#include "app/http_thread.h"
#include "app/upgrade_codes.h"
#include "notice/message_file.h"
#include "platform/files.h"
#include "platform/poll_event_loop.h"
#include "platform/temp_dir.h"
#include "ui/dialogs.h"
#include "ui/main_window_models.h"
#include "unit/transfer/fake_http_server.h"

namespace fwu {
namespace {

using test::FakeExchange;
using test::FakeHttpServer;

// The window thread's notice window: notes each notice it shows and on
// which thread, and can fail or act while the notice is on screen.
class WindowNotices final : public NoticePresenter {
 public:
  void Show(const MessageFile& notice) override {
    onWindowThread = onWindowThread && std::this_thread::get_id() == windowThread_;
    if (whileShown) whileShown();
    captions.push_back(notice.messageCaption + notice.rtf);
    if (fail) throw std::runtime_error("no display");
  }
  std::vector<std::string> captions;
  bool onWindowThread = true;
  bool fail = false;
  std::function<void()> whileShown;

 private:
  std::thread::id windowThread_ = std::this_thread::get_id();
};

// Records each box with the shared values as the window thread saw them
// while the box was up.
class RecordingDialogs final : public Dialogs {
 public:
  struct Box {
    std::string text, caption;
    std::int16_t stopCounter, upgradeState;
  };
  RecordingDialogs(std::atomic<std::int16_t>& stopCounter, std::atomic<std::int16_t>& upgradeState)
      : stopCounter_(stopCounter), upgradeState_(upgradeState) {}

  DialogAnswer ShowMessage(const MessageRequest& request) override {
    boxes.push_back({request.text, request.caption, stopCounter_.load(), upgradeState_.load()});
    return DialogAnswer::Ok;
  }
  std::optional<std::vector<std::string>> ChooseFiles(const FileChooserRequest&) override { return std::nullopt; }
  void ShowModal(ModalWindowModel&) override {}

  std::vector<Box> boxes;

 private:
  std::atomic<std::int16_t>& stopCounter_;
  std::atomic<std::int16_t>& upgradeState_;
};

class HttpThreadTest : public ::testing::Test {
 protected:
  HttpThreadTest() {
    const std::string path = dir_.PathWithSeparator() + "fw.bin";
    EXPECT_TRUE(WriteWholeFile(path, ToBytes("firmware")));
    files_.Add({path, 0x081D, 1});  // section A
    models_.Upgrade.SetEnabled(false);
  }

  HttpThreadContext Context(std::uint16_t port) {
    HttpThreadContext context(loop_, dialogs_, models_, notices_, stopCounter_, upgradeState_);
    context.fileList = files_;
    context.selectedIP = "127.0.0.1";
    context.port = port;
    context.sectionList = "A";
    context.interactive = true;
    context.setSectionResult = [this](const std::string& section) { sectionResult_ = section; };
    return context;
  }

  // Runs one worker against a router that answers `reply`, and notes what
  // the window thread could see when 124 first showed.
  void Run(const std::string& reply, const std::function<void(HttpThreadContext&)>& adjust = {}) {
    FakeHttpServer server({FakeExchange{std::string(HttpClient::kClosingText), {reply}}});
    HttpThreadContext context = Context(server.Port());
    if (adjust) adjust(context);
    THTTPThread worker(std::move(context));
    const auto watch = loop_.StartTimer(1, [&] {
      if (stopCounter_ == report::kHttpFinished && statusAt124_.empty()) {
        statusAt124_ = models_.StatusBar1.Text();
        sectionAt124_ = sectionResult_;
        upgradeEnabledAt124_ = models_.Upgrade.Enabled();
      }
    });
    loop_.RunUntil([&] { return worker.Finished() && !statusAt124_.empty(); });
    loop_.StopTimer(watch);
  }

  // Exactly one box, showing text and caption while both shared values
  // held `shared`.
  void ExpectOneBox(const std::string& text, const std::string& caption, std::int16_t shared) const {
    ASSERT_EQ(dialogs_.boxes.size(), 1u);
    const RecordingDialogs::Box& box = dialogs_.boxes[0];
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.stopCounter, shared);
    EXPECT_EQ(box.upgradeState, shared);
  }

  // Puts two message files before the firmware: one for transfers, one
  // that its audience flag keeps out of them. Returns the second's path.
  std::string AddNotices() {
    MessageFile notice;
    notice.messageCaption = "MESSAGE";
    notice.rtf = "{\\rtf1 hello}";
    const std::string shown = dir_.PathWithSeparator() + "shown.tmp";
    EXPECT_TRUE(WriteWholeFile(shown, notice.Serialize()));
    notice.noFtpFlag = 1;
    const std::string excluded = dir_.PathWithSeparator() + "excluded.tmp";
    EXPECT_TRUE(WriteWholeFile(excluded, notice.Serialize()));
    FileTable files;
    files.Add({shown, 0x040D, 1});
    files.Add({excluded, 0x040D, 1});
    files.Add(files_[0]);
    files_ = files;
    return excluded;
  }

  bool Logged(const std::string& line) const {
    const auto& lines = models_.Memo1.Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  PrivateTempDir dir_;
  FileTable files_;
  PollEventLoop loop_;
  MainWindowModels models_;
  WindowNotices notices_;
  std::atomic<std::int16_t> stopCounter_{0};
  std::atomic<std::int16_t> upgradeState_{121};
  RecordingDialogs dialogs_{stopCounter_, upgradeState_};
  std::string sectionResult_, statusAt124_, sectionAt124_;
  bool upgradeEnabledAt124_ = false;
};

TEST_F(HttpThreadTest, SuccessShowsItsBoxAt122AndOnlyThenLeaves124) {
  Run("HTTP/1.0 200 OK\r\n\r\n--CAS:8000");
  ExpectOneBox("Upgrade Successfully", "Success", 122);
  EXPECT_EQ(statusAt124_, "Upgrade Successfully");
  EXPECT_EQ(sectionAt124_, "A");
  EXPECT_TRUE(upgradeEnabledAt124_);
  EXPECT_EQ(upgradeState_.load(), 122);
  EXPECT_TRUE(Logged("Total upgrade file count in HTTP mode: 1"));
  EXPECT_TRUE(Logged("Send Bin File Length : 16"));
}

TEST_F(HttpThreadTest, FailureShowsTheTransportTextAt123) {
  Run("HTTP/1.0 200 OK\r\n\r\n--CAS:8001");
  ExpectOneBox("Upgrade failure", "Failure", 123);
  EXPECT_EQ(statusAt124_, "Upgrade failure");
  EXPECT_FALSE(upgradeEnabledAt124_);
  EXPECT_EQ(sectionAt124_, "");
}

TEST_F(HttpThreadTest, FactoryReleaseShowsNoBoxYetReportsOnTheStatusLine) {
  Run("HTTP/1.0 200 OK\r\n\r\n--CAS:8000", [](HttpThreadContext& context) { context.factoryRelease = true; });
  EXPECT_TRUE(dialogs_.boxes.empty());
  EXPECT_EQ(statusAt124_, "Upgrade Successfully");
  EXPECT_EQ(stopCounter_.load(), 124);
}

TEST_F(HttpThreadTest, MissingSectionsWarnEvenAfterSuccess) {
  Run("HTTP/1.0 200 OK\r\n\r\n--CAS:8000", [](HttpThreadContext& context) {
    context.sectionIDCheck = true;
    context.sectionList = "AB";
  });
  ExpectOneBox("Upgrade Not complete, please run this program again !", "Upgrade Warning", 122);
}

TEST_F(HttpThreadTest, DestroyingTheWorkerEndsAStalledUploadPromptly) {
  // The router takes the request and never answers.
  FakeExchange silent{"never", {}};
  silent.quietMs = 5000;
  FakeHttpServer server({silent});
  const auto start = std::chrono::steady_clock::now();
  {
    THTTPThread worker(Context(server.Port()));
    loop_.WaitMs(700, true);
    EXPECT_FALSE(worker.Finished());
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_EQ(stopCounter_.load(), 124);
  EXPECT_TRUE(dialogs_.boxes.empty()) << "no box is shown for a window that is going away";
}

TEST_F(HttpThreadTest, TheWorkerDecidesOnNoticesAndTheWindowThreadShowsThem) {
  const std::string excluded = AddNotices();
  Run("HTTP/1.0 200 OK\r\n\r\n--CAS:8000");
  EXPECT_EQ(notices_.captions, std::vector<std::string>{"MESSAGE{\\rtf1 hello}"});
  EXPECT_TRUE(notices_.onWindowThread);
  EXPECT_TRUE(Logged("Unknow Message File in FTP Mode >>" + excluded));
  EXPECT_TRUE(Logged("Message Attribute > 1037"));
  ExpectOneBox("Upgrade Successfully", "Success", 122);
}

TEST_F(HttpThreadTest, ANoticeTheWindowCannotShowIsReportedAndTheUploadGoesOn) {
  AddNotices();
  notices_.fail = true;
  Run("HTTP/1.0 200 OK\r\n\r\n--CAS:8000");
  ASSERT_EQ(dialogs_.boxes.size(), 2u);
  EXPECT_EQ(dialogs_.boxes[0].text, "Show and Msg File read error");
  EXPECT_EQ(dialogs_.boxes[0].caption, "File Error");
  EXPECT_EQ(dialogs_.boxes[1].text, "Upgrade Successfully");
}

// The watchdog ends a stalled worker from the window thread, which may be
// inside the notice's modal loop at that moment. The notice on screen is
// the window's own copy (the sanitizer build sees any use of the freed
// worker).
TEST_F(HttpThreadTest, TheWorkerMayBeEndedWhileItsNoticeIsOnScreen) {
  AddNotices();
  FakeHttpServer server({FakeExchange{std::string(HttpClient::kClosingText), {"HTTP/1.0 200 OK\r\n\r\n--CAS:8000"}}});
  auto worker = std::make_unique<THTTPThread>(Context(server.Port()));
  notices_.whileShown = [&worker] { worker.reset(); };
  loop_.RunUntil([&] { return !notices_.captions.empty(); });
  EXPECT_EQ(worker, nullptr);
  EXPECT_EQ(notices_.captions, std::vector<std::string>{"MESSAGE{\\rtf1 hello}"});
  EXPECT_EQ(stopCounter_.load(), 124);
  EXPECT_TRUE(dialogs_.boxes.empty()) << "no box is shown for a worker that is gone";
}

}  // namespace
}  // namespace fwu
