#include <filesystem>

#include "unit/app/form_fixture.h"

namespace fwu::testing {
namespace {

using Lines = std::vector<std::string>;

class StartupTest : public FormTest {};

TEST_F(StartupTest, VersionLinesComeFirstAndThreeArgumentsAreIgnored) {
  auto& form = MakeForm({"put", "192.168.1.1", "secret"}, WriteDeliveredProgram());
  form.FormCreate();
  const Lines lines = LogLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Program Version V1.1.1e");
  EXPECT_EQ(lines[1], "Program build at 2002/02/19 pm 1:48");
  for (const auto& line : lines) EXPECT_EQ(line.find("parameter input"), std::string::npos) << line;
  EXPECT_FALSE(form.CurrentModes().param);
  EXPECT_EQ(form.FileList().Count(), 4u) << "the bundle's table reaches FileList without parameters";
}

TEST_F(StartupTest, DeliveredBundleIsListedAndCopied) {
  auto& form = MakeForm({}, WriteDeliveredProgram());
  form.FormCreate();
  const Lines lines = LogLines();
  ASSERT_EQ(lines.size(), 2u + 8u);
  EXPECT_EQ(lines[2].rfind("Imbed file 0 : ", 0), 0u);
  EXPECT_EQ(lines[3], "Imbed File Attrib : 0");
  EXPECT_EQ(lines[4].rfind("Imbed file 1 : ", 0), 0u);
  EXPECT_EQ(lines[5], "Imbed File Attrib : 4096");
  EXPECT_EQ(lines[7], "Imbed File Attrib : 2061");
  EXPECT_EQ(lines[9], "Imbed File Attrib : 1037");
  EXPECT_EQ(form.FileListValid(), 1);
  EXPECT_EQ(form.FileList()[1].attribute, 0x1000);
  EXPECT_FALSE(form.StartupFailed());
}

struct CommandLineCase {
  const char* name;
  Lines arguments;
  Lines expectedLogTail;  // the lines after the version lines
  bool put, get, log, param;
  std::string fileShown;
};

class CommandLineTest : public StartupTest, public ::testing::WithParamInterface<CommandLineCase> {};

TEST_P(CommandLineTest, ParametersAreAppliedOrCleared) {
  const CommandLineCase& c = GetParam();
  auto& form = MakeForm(c.arguments, WriteDeliveredProgram());
  form.FormCreate();
  Lines lines = LogLines();
  lines.erase(lines.begin(), lines.begin() + 2);
  if (!c.param) {
    // Cleared: the start goes on as one without parameters and lists the bundle.
    lines.resize(std::min(lines.size(), c.expectedLogTail.size()));
  }
  EXPECT_EQ(lines, c.expectedLogTail);
  const auto modes = form.CurrentModes();
  EXPECT_EQ(modes.put, c.put);
  EXPECT_EQ(modes.get, c.get);
  EXPECT_EQ(modes.log, c.log);
  EXPECT_EQ(modes.param, c.param);
  EXPECT_EQ(form.Models().UpdateFileName.Text(), NativePath(c.fileShown));
}

const Lines kSetLines{"Set DstIP = 10.0.0.1 in parameter input", "Set password = ** in parameter input",
                      "Set ROMID = R1 in parameter input"};
Lines With(Lines head, const Lines& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}
const Lines kCleared = With(kSetLines, {"Clear all setting by parameter input error."});

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    ::testing::Values(
        CommandLineCase{"PutInCapitals", {"PUT", "10.0.0.1", "pw", "R1"}, kSetLines, true, false, false, true, ""},
        CommandLineCase{"NullsLowerCaseOnly",
                        {"set", "null", "NULL", "null"},
                        {"Set DST IP = null in parameter input", "Set password = **** in parameter input",
                         "Set ROMID = null in parameter input"},
                        false, false, false, true, ""},
        CommandLineCase{"LogInCapitalsAlone", {"set", "10.0.0.1", "pw", "R1", "LOG"}, kSetLines, false, false, true, true, ""},
        CommandLineCase{"FileThenLog", {"set", "10.0.0.1", "pw", "R1", "/tmp/fw.bin", "log"}, kSetLines, false, false, true, true, "/tmp/fw.bin;"},
        CommandLineCase{"PutWithFile", {"put", "10.0.0.1", "pw", "R1", "/tmp/fw.bin"}, kSetLines, true, false, false, true, "/tmp/fw.bin;"},
        CommandLineCase{"LogThenFileClears", {"set", "10.0.0.1", "pw", "R1", "log", "/tmp/fw.bin"}, kCleared, false, false, false, false, ""},
        CommandLineCase{"TooManyArgumentsClear", {"put", "10.0.0.1", "pw", "R1", "a", "log", "b"}, kCleared, false, false, false, false, ""},
        CommandLineCase{"GetWithSeven", {"get", "10.0.0.1", "pw", "R1", "0x1000", "512", "rom.bin"}, kSetLines, false, true, false, true, "rom.bin;"},
        CommandLineCase{"GetWithSixClears", {"get", "10.0.0.1", "pw", "R1", "0", "512"}, kCleared, false, false, false, false, ""},
        CommandLineCase{"GetFileTooLongForItsFieldClears",
                        {"get", "10.0.0.1", "pw", "R1", "0", "512", std::string(32, 'f')}, kCleared, false, false, false, false, ""},
        CommandLineCase{"UnknownOperationClears", {"fetch", "10.0.0.1", "pw", "R1"}, kCleared, false, false, false, false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupTest, ClearedParametersResetTheBoxesAndRomId) {
  auto& form = MakeForm({"get", "10.0.0.1", "pw", "R1", "0"}, WriteDeliveredProgram());
  form.FormCreate();
  EXPECT_EQ(form.Models().IPComBox.Text(), "");
  EXPECT_EQ(form.Models().PasswordComBox.Text(), "");
  EXPECT_EQ(form.ROMID(), "Kavlor");
  EXPECT_EQ(form.FileList().Count(), 4u) << "the start goes on as one without parameters";
}

TEST_F(StartupTest, WithParametersTheBundleFilesNeverReachFileList) {
  auto& form = MakeForm({"put", "10.0.0.1", "pw", "R1"}, WriteDeliveredProgram());
  form.FormCreate();
  EXPECT_TRUE(form.FileList().Empty());
  EXPECT_EQ(form.Models().IPComBox.Text(), "10.0.0.1");
  EXPECT_EQ(form.Models().PasswordComBox.Text(), "pw");
}

TEST_F(StartupTest, CommandLineFileTakesSlotZeroAsAUserFile) {
  auto& form = MakeForm({"put", "10.0.0.1", "pw", "R1", "/data/fw.bin"}, WriteDeliveredProgram());
  form.FormCreate();
  ASSERT_EQ(form.FileList().Count(), 1u);
  EXPECT_EQ(form.FileList()[0].path, NativePath("/data/fw.bin"));
  EXPECT_EQ(form.FileList()[0].attribute, 0x080D);
  EXPECT_EQ(form.FileList()[0].state, 1u);
  EXPECT_EQ(form.FileListValid(), 1);
}

TEST_F(StartupTest, GetModeSetsTheDownloadCaption) {
  auto& form = MakeForm({"GET", "10.0.0.1", "pw", "R1", "0", "64", "rom.bin"}, WriteDeliveredProgram());
  form.FormCreate();
  EXPECT_EQ(form.Models().window.Caption(), "Device ROM data download V1.1.0");
  EXPECT_EQ(form.Settings().RomOffset(), "0");
  EXPECT_EQ(form.Settings().RomLength(), "64");
  EXPECT_EQ(form.Settings().RomFile(), "rom.bin");
}

TEST_F(StartupTest, NoBundleLogsAndDisablesUpgrading) {
  auto& form = MakeForm({}, WriteProgram({}));
  form.FormCreate();
  EXPECT_TRUE(Logged("No Imbed File Found !!"));
  EXPECT_EQ(form.FileListValid(), 0);
  ASSERT_EQ(form.FileList().Count(), 1u);
  EXPECT_EQ(form.FileList()[0].attribute, 0);
}

TEST_F(StartupTest, BundleWithoutUpgradeFilesDisablesUpgrading) {
  auto& form = MakeForm({}, WriteProgram({{"control.cfg", 0x1000, RecordBytes(DeliveredControl())}}));
  form.FormCreate();
  EXPECT_TRUE(Logged("No Upgrade File Found !!"));
  EXPECT_EQ(form.FileListValid(), 0);
  EXPECT_EQ(form.FileList().Count(), 2u);
}

TEST_F(StartupTest, UnreadableProgramFailsTheStartWithItsBox) {
  auto& form = MakeForm({}, ScratchPath("missing-program"));
  form.FormCreate();
  ASSERT_FALSE(dialogs_.Messages().empty());
  EXPECT_EQ(dialogs_.Messages().back().text, "Read Imbed File Error !!");
  EXPECT_EQ(dialogs_.Messages().back().caption, "Initial Error");
  EXPECT_TRUE(form.StartupFailed());
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ(application_.terminations, 1);
}

TEST_F(StartupTest, TemporaryFilesAreGoneWhenTheWindowCloses) {
  auto& form = MakeForm({}, WriteDeliveredProgram());
  form.FormCreate();
  std::vector<std::string> paths;
  for (const auto& row : form.FileList().Rows()) paths.push_back(row.path);
  ASSERT_EQ(paths.size(), 4u);
  for (const auto& path : paths) EXPECT_TRUE(FileExists(path)) << path;
  const auto directory = std::filesystem::path(paths[0]).parent_path();
  EXPECT_TRUE(OnlyCurrentUserHasAccess(directory.string()));
  form.ExitClick();
  EXPECT_TRUE(form.Closed());
  for (const auto& path : paths) EXPECT_FALSE(FileExists(path)) << path;
  EXPECT_FALSE(std::filesystem::exists(directory));
}

}  // namespace
}  // namespace fwu::testing
