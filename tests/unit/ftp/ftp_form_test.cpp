// The FTP transport against the simulated router's FTP server on the
// loopback interface, one test per reply the transport must tell apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <string>

#include "ftp_server.h"
#include "notice/hidden_notice_presenter.h"
#include "platform/files.h"
#include "platform/poll_event_loop.h"
#include "platform/temp_dir.h"
#include "recorder.h"
#include "switch_table.h"
#include "transfer/ftp_form.h"
#include "ui/main_window_models.h"
#include "ui/scripted_dialogs.h"
#include "udp_hub.h"

namespace fwu {
namespace {

constexpr std::uint16_t kFtpFile = 0x080D;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class FtpFormTest : public ::testing::Test {
 protected:
  FtpFormTest() { EXPECT_TRUE(record_.Open(store_.PathWithSeparator() + "record")); }

  // Starts the router's FTP server with the given behaviour.
  // switches: routersim's own, e.g. {"--ftp-stor-answer", "550"}.
  void StartRouter(const std::vector<std::string>& switches = {}) {
    FtpSettings ftp;
    SwitchTable table;
    ftp.AddSwitches(table);
    ASSERT_EQ(table.Parse(switches), "");
    ftp.port = 0;
    web_.password = "secret";
    web_.storeDir = store_.PathWithSeparator();
    web_.storeDir.pop_back();
    router_ = std::make_unique<FtpService>(ftp, web_, "127.0.0.1");
    ServiceContext context{loop_, hub_, record_};
    ASSERT_EQ(router_->Start(context), "");
    form_.UseServerPort(router_->Port());
  }

  std::string AddFile(const std::string& name, const std::string& content) {
    const std::string path = files_dir_.PathWithSeparator() + name;
    EXPECT_TRUE(WriteWholeFile(path, ToBytes(content)));
    files_.Add({path, kFtpFile, 1});
    return path;
  }

  int Upload(const std::string& password = "secret") {
    TransferJob job{stopCounter_, state_, window_, files_, "127.0.0.1", "", 1, password};
    return form_.UploadFiles(job);
  }

  int Fetch(const std::string& range, const std::string& password = "secret", std::int64_t length = 0) {
    return form_.GetRomFile({window_, "127.0.0.1", password, range, RomPath(), length});
  }
  std::string RomPath() const { return files_dir_.PathWithSeparator() + "rom.bin"; }
  // Every name in the directory of the ROM file: side files left behind show.
  std::vector<std::string> FilesBesideRom() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(files_dir_.PathWithSeparator())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  // Tells the client to stop once more than `bytes` have moved.
  void AbortAfter(std::int64_t bytes) {
    TFtpClient& client = form_.FTP1();
    const auto stopLater = [&client, bytes](std::function<void()> bound) {
      return [&client, bytes, bound] {
        bound();
        if (client.GetBytesSent() + client.GetBytesRcvd() > bytes) client.Abort();
      };
    };
    client.OnPacketSent = stopLater(client.OnPacketSent);
    client.OnPacketRecvd = stopLater(client.OnPacketRecvd);
  }
  // The server records on its own time, later still on a loaded machine.
  bool RecordShowsSoon(const std::string& text) {
    for (int i = 0; i < 1000 && !Has(Record(), text); ++i) loop_.WaitMs(10, false);
    return Has(Record(), text);
  }

  std::string Record() {
    const auto bytes = ReadWholeFile(store_.PathWithSeparator() + "record");
    return bytes ? ToText(*bytes) : std::string();
  }
  bool Logged(const std::string& line) const {
    const auto& lines = window_.Memo1.Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  std::optional<Bytes> Stored(const std::string& name) {
    return ReadWholeFile(store_.PathWithSeparator() + "1-" + name);
  }

  PollEventLoop loop_;
  ScriptedDialogs dialogs_{loop_};
  HiddenNoticePresenter notices_;
  TmyFTPForm form_{loop_, notices_, dialogs_};
  MainWindowModels window_;
  FileTable files_;
  std::atomic<std::int16_t> stopCounter_{5};
  std::atomic<std::int16_t> state_{131};
  PrivateTempDir store_;
  PrivateTempDir files_dir_;
  Recorder record_;
  UdpHub hub_{loop_, record_};
  WebSettings web_;
  std::unique_ptr<FtpService> router_;
};

TEST_F(FtpFormTest, StoresEveryFileInOneLoginUnderItsRemoteName) {
  StartRouter();
  const std::string image(200000, 'x');
  AddFile("first.bin.tmp", image);
  AddFile("second.TMP", "small");
  EXPECT_EQ(Upload(), 1);
  EXPECT_EQ(form_.ResultText(), "Upgrade Successfully !");
  EXPECT_EQ(form_.UploadCount(), 2);
  // ".tmp" goes only in lower case; stored byte for byte.
  EXPECT_EQ(Stored("1-first.bin"), ToBytes(image));
  EXPECT_EQ(Stored("2-second.TMP"), ToBytes("small"));
  EXPECT_TRUE(Logged("Total upgrade file count in FTP mode: 2"));
  EXPECT_EQ(window_.StatusBar1.Text(), "Upgrade Successfully");
  EXPECT_EQ(window_.ProgressBar1.Position(), window_.ProgressBar1.Max());
  EXPECT_EQ(stopCounter_.load(), 0);
  const std::string record = Record();
  EXPECT_NE(record.find("ftp USER root\nftp PASS\nftp TYPE I\nftp PORT 127,0,0,1,"), std::string::npos) << record;
  EXPECT_NE(record.find("ftp QUIT"), std::string::npos);
  EXPECT_FALSE(form_.FTP1().Connected());
}

TEST_F(FtpFormTest, MultiLineGreetingIsReadWholeBeforeTheLogin) {
  StartRouter();
  AddFile("a.bin", "a");
  std::vector<std::string> statuses;
  form_.FTP1().OnStatus = [&](const std::string& text) { statuses.push_back(text); };
  EXPECT_EQ(Upload(), 1);
  ASSERT_GE(statuses.size(), 6u);
  EXPECT_EQ(statuses[0], "220-Router FTP server");
  EXPECT_EQ(statuses[1], " firmware and ROM data");
  EXPECT_EQ(statuses[2], "Authorised use only");
  EXPECT_EQ(statuses[3], "220 Ready");
  EXPECT_EQ(statuses[4], "USER root");
  EXPECT_EQ(statuses[5], "331 Password required for root");
}

TEST_F(FtpFormTest, RefusedPasswordClosesTheConnection) {
  StartRouter();
  AddFile("a.bin", "a");
  EXPECT_EQ(Upload("wrong"), -2);
  EXPECT_EQ(form_.ResultText(), "Incorrect password. Please check and input again!");
  EXPECT_TRUE(Logged("Password Error"));
  EXPECT_FALSE(form_.FTP1().Connected());
  EXPECT_EQ(Fetch("0#16", "wrong"), -2);
  EXPECT_TRUE(Logged("Get Rom File Password Error"));
  // A refusal held back longer than the other replies may take still counts.
  router_.reset();
  StartRouter({"--ftp-refusal-delay", "1500"});
  EXPECT_EQ(Upload("wrong"), -2);
}

struct RefusalCase {
  const char* name;
  std::vector<std::string> switches;
  int result;
  std::string resultPrefix;
  bool storCommandSent;
};

class FtpRefusalTest : public FtpFormTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(FtpRefusalTest, RefusalEndsTheRunWithItsResult) {
  StartRouter(GetParam().switches);
  AddFile("a.bin", "first image");
  AddFile("b.bin", "second image");
  EXPECT_EQ(Upload(), GetParam().result);
  EXPECT_TRUE(form_.ResultText().starts_with(GetParam().resultPrefix)) << form_.ResultText();
  const std::string record = Record();
  EXPECT_EQ(record.find("ftp STOR") != std::string::npos, GetParam().storCommandSent) << record;
  // Never a second file after a refusal.
  EXPECT_EQ(record.find("ftp STOR b.bin"), std::string::npos) << record;
  EXPECT_EQ(record.find("stored name=b.bin"), std::string::npos) << record;
}

INSTANTIATE_TEST_SUITE_P(
    Replies, FtpRefusalTest,
    ::testing::Values(
        RefusalCase{"Stor550", {"--ftp-stor-answer", "550"}, -4, "Upgrade File Error", true},
        RefusalCase{"Stor429", {"--ftp-stor-answer", "429"}, -1, "Unknow exception :429 ", true},
        RefusalCase{"Port500", {"--ftp-port-answer", "500"}, -1, "Unknow exception :500 ", false},
        RefusalCase{"FinalReply429", {"--ftp-final-reply", "429"}, -1, "Incorrect upgrade file. Please check again!",
                    true},
        RefusalCase{"SilentToStor", {"--ftp-silent-to", "STOR"}, -1, "Unknow exception :Socket readln aborted", true},
        // Only a completion after the data says the file is stored.
        RefusalCase{"FinalReply451", {"--ftp-final-reply", "451"}, -1, "Unknow exception :451 ", true},
        RefusalCase{"FinalReply426", {"--ftp-final-reply", "426"}, -1, "Unknow exception :426 ", true},
        RefusalCase{"ClosedWithoutFinalReply", {"--ftp-final-reply", "none"}, -1,
                    "Unknow exception :Connection closed before the final reply", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FtpFormTest, TheWaitsTheTimeOutLeavesOpenAreBoundedToo) {
  StartRouter({"--ftp-no-data-connection"});
  form_.FTP1().DataConnectionTimeOut = 300;
  AddFile("a.bin", "a");
  EXPECT_EQ(Upload(), -1);
  EXPECT_EQ(form_.ResultText(), "Unknow exception :Accepting Timed out");

  // A router that stops reading: the socket buffers fill, then nothing moves.
  router_.reset();
  StartRouter({"--ftp-stall-after", "100000"});
  form_.FTP1().SendStallTimeOut = 300;
  files_.Clear();
  AddFile("large.bin", std::string(32 << 20, 'L'));
  EXPECT_EQ(Upload(), -1);
  EXPECT_EQ(form_.ResultText(), "Unknow exception :Socket send aborted");
  EXPECT_NE(Record().find("ftp stalled after 100000"), std::string::npos);
}

TEST_F(FtpFormTest, AFinalReplyIsAwaitedUntilTheServerHasReadTheWholeImage) {
  // The image fits the socket buffers, so the sending ends well before the
  // server, slow to drain them, has read it and answers.
  StartRouter({"--ftp-read-delay", "1300"});
  AddFile("a.bin", std::string(100000, 'a'));
  EXPECT_EQ(Upload(), 1) << form_.ResultText();
  EXPECT_EQ(Stored("1-a.bin"), ToBytes(std::string(100000, 'a')));
}

TEST_F(FtpFormTest, AStoppedUploadIsResetAndAbortedNeverEndedInOrder) {
  StartRouter();
  AddFile("large.bin", std::string(8 << 20, 'L'));
  AbortAfter(1 << 20);
  EXPECT_EQ(Upload(), -1);
  EXPECT_EQ(form_.ResultText(), "Unknow exception :Transfer Canceled");
  // The server hears of it on its own time: the client, stopping, waits for no reply.
  EXPECT_TRUE(RecordShowsSoon("ftp aborted name=large.bin")) << Record();
  EXPECT_TRUE(RecordShowsSoon("ftp ABOR")) << Record();
  EXPECT_FALSE(Has(Record(), "ftp stored")) << Record();
}

TEST_F(FtpFormTest, UnreachableServerIsAFailureWithoutConnection) {
  StartRouter({"--no-ftp"});
  form_.UseServerPort(1);  // nothing listens there on the loopback
  AddFile("a.bin", "a");
  EXPECT_EQ(Upload(), -1);
  EXPECT_EQ(form_.ResultText(), "Unknow exception2Connection Failed");
  EXPECT_EQ(Fetch("0#16"), -1);
  EXPECT_EQ(form_.ResultText(), "Unknow exception with NO Connect ");
}

TEST_F(FtpFormTest, RomStretchIsSavedWithItsAnnouncedSize) {
  StartRouter();
  ASSERT_TRUE(WriteWholeFile(RomPath(), ToBytes("earlier")));
  EXPECT_EQ(Fetch("1000#512", "secret", 512), 1);
  EXPECT_EQ(ReadWholeFile(RomPath() + ".BAK"), ToBytes("earlier"));
  EXPECT_EQ(FilesBesideRom(), (std::vector<std::string>{"rom.bin", "rom.bin.BAK"}));
  const auto saved = ReadWholeFile(RomPath());
  ASSERT_TRUE(saved);
  ASSERT_EQ(saved->size(), 512u);
  for (std::size_t i = 0; i < saved->size(); ++i) ASSERT_EQ((*saved)[i], (1000 + i) % 251) << i;
  EXPECT_EQ(form_.FTP1().TransferSize(), 512);
  EXPECT_TRUE(Logged("Data=1000#512"));
  EXPECT_TRUE(Logged("Save data to :" + RomPath()));
  EXPECT_EQ(window_.ProgressBar1.Max(), 300);
}

TEST_F(FtpFormTest, OnlyTheServerMayOpenTheDataConnection) {
  StartRouter({"--ftp-data-intruder", "127.0.0.2"});
  EXPECT_EQ(Fetch("1000#16", "secret", 16), 1) << form_.ResultText();
  EXPECT_TRUE(Has(Record(), "ftp intruder reached the data port")) << Record();
  const auto saved = ReadWholeFile(RomPath());
  ASSERT_TRUE(saved);
  ASSERT_EQ(saved->size(), 16u);
  for (std::size_t i = 0; i < saved->size(); ++i) EXPECT_EQ((*saved)[i], (1000 + i) % 251) << i;
}

TEST_F(FtpFormTest, RomFetchFailuresAreToldApart) {
  StartRouter({"--ftp-silent-to", "RETR"});
  EXPECT_EQ(Fetch("nonsense"), -3) << "no answer in time ends the download";
  EXPECT_EQ(form_.ResultText(), "Soc");
  router_.reset();
  StartRouter();
  EXPECT_EQ(Fetch("nonsense"), -1);
  EXPECT_EQ(form_.ResultText(), "Get Rom File Error");
  EXPECT_EQ(window_.StatusBar1.Text(), "Get Rom File command error.");
}

struct RomFailureCase {
  const char* name;
  std::vector<std::string> switches;
  std::int64_t length;      // asked for
  std::int64_t abortAfter;  // bytes, then the user stops; -1: never
  std::string resultText;   // the failure's first three characters
};

class FtpRomFailureTest : public FtpFormTest, public ::testing::WithParamInterface<RomFailureCase> {};

TEST_P(FtpRomFailureTest, AnIncompleteReadKeepsTheEarlierFile) {
  const RomFailureCase& c = GetParam();
  const std::string rom = files_dir_.PathWithSeparator() + "router.rom";
  ASSERT_TRUE(WriteWholeFile(rom, Bytes(1300, 7)));
  web_.romData = rom;
  StartRouter(c.switches);
  ASSERT_TRUE(WriteWholeFile(RomPath(), ToBytes("good copy")));
  if (c.abortAfter >= 0) AbortAfter(c.abortAfter);
  EXPECT_EQ(Fetch("0#" + std::to_string(c.length), "secret", c.length), -3);
  EXPECT_EQ(form_.ResultText(), c.resultText);
  EXPECT_EQ(ReadWholeFile(RomPath()), ToBytes("good copy"));
  EXPECT_EQ(FilesBesideRom(), (std::vector<std::string>{"rom.bin", "router.rom"})) << "no side file is left";
}

INSTANTIATE_TEST_SUITE_P(
    Reads, FtpRomFailureTest,
    ::testing::Values(RomFailureCase{"CutThen426", {"--ftp-cut-retr", "300", "--ftp-final-reply", "426"}, 1300, -1,
                                     "426"},
                      RomFailureCase{"ShorterThanAnnounced", {"--ftp-cut-retr", "300"}, 1300, -1, "Rec"},
                      RomFailureCase{"ShorterThanAsked", {}, 8192, -1, "Rec"},
                      RomFailureCase{"ClosedWithoutFinalReply", {"--ftp-final-reply", "none"}, 1300, -1, "Con"},
                      RomFailureCase{"StoppedByTheUser", {}, 1300, 0, "Tra"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fwu
