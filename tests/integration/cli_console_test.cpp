// The console as a technician meets it: on a terminal, with a file of
// their own, a password typed wrong, Ctrl+C, a mistyped command line.
#include <signal.h>

#include <gtest/gtest.h>

#include "integration/cli_test_support.h"
#include "integration/pty_session.h"
#include "platform/files.h"

namespace fwu {
namespace {

class CliConsoleTest : public CliLanTest {
 protected:
  // The plain console program, without a bundle, as built.
  void UsePlainProgram() { upgrader_ = VirtualLan::BinPath("fwupgrade-cli"); }

  std::string OwnFile(const Bytes& content) {
    const std::string path = lan_->Dir() + "own.bin";
    EXPECT_TRUE(WriteWholeFile(path, content));
    return path;
  }

  // The upgrader on a terminal of its own, inside the PC's namespace.
  bool StartOnTerminal(PtySession& session, const std::string& arguments) {
    return session.Start({"ip", "netns", "exec", lan_->Name() + "-pc", "sh", "-c",
                          "cd " + lan_->Dir() + " && exec " + upgrader_ + " " + arguments});
  }

  static bool Echoes(const PtySession& session) { return (session.Modes().c_lflag & ECHO) != 0; }
};

TEST_F(CliConsoleTest, UsageErrorsEndBeforeAnyPacketIsSent) {
  StartLan();
  StartRouter({"--password", "admin"});
  UsePlainProgram();
  const std::string file = OwnFile(Firmware(100, 1));
  struct Case {
    std::string arguments, says;
    int status;
  };
  for (const Case& c : {
           Case{"put 192.168.123.254 admin", "put takes ADDRESS PASSWORD ROMID", 2},
           Case{"put 192.168.123.254 admin null missing.bin", "no such file: missing.bin", 2},
           Case{"set 192.168.123.254 admin null " + lan_->Dir(), "cannot read", 2},
           Case{"put 192.168.123.254 admin " + file, "ROMID " + file + " is a file: did you mean put ADDR PW null FILE?", 2},
           Case{"get 192.168.123.254 admin null 0 512 " + std::string(32, 'r'), "the ROM file name field holds at most 31", 2},
           Case{"missing.bin", "no such file: missing.bin", 2},
           Case{"--versoin", "unknown option --versoin", 2},
           Case{"search --xml", "search takes only --json", 2},
           Case{"--version", "", 0},
       }) {
    const CommandResult result = Run(c.arguments);
    EXPECT_EQ(result.exitStatus, c.status) << c.arguments << "\n" << result.err;
    EXPECT_TRUE(Has(result.err, c.says)) << c.arguments << "\n" << result.err;
    EXPECT_EQ(Has(result.err, "usage: fwupgrade-cli"), c.status == 2) << c.arguments;
  }
  EXPECT_TRUE(Has(Run("--version").out, "fwupgrade-cli 1.")) << "name and version";
  EXPECT_EQ(lan_->RecordOf("r1"), "") << "no probe, no login, nothing reached the router";
}

TEST_F(CliConsoleTest, AttendedRunWithOwnFileOnATerminalRetriesThePassword) {
  StartLan();
  StartRouter({"--password", "a-long-password", "--rom-id", "R1A"});
  UsePlainProgram();
  const Bytes firmware = Firmware(60000, 5);
  PtySession session;
  ASSERT_TRUE(StartOnTerminal(session, OwnFile(firmware)));
  ASSERT_TRUE(session.WaitFor("1 router found", 20000)) << session.Screen();
  ASSERT_TRUE(session.WaitFor("Router (number or address)", 5000)) << session.Screen();
  session.Type("1\r");
  ASSERT_TRUE(session.WaitFor("Password: ", 5000)) << session.Screen();
  session.Type("wrong\r");
  ASSERT_TRUE(session.WaitFor("Password (refused, try again): ", 10000)) << session.Screen();
  session.Type("a-long-password\r");
  EXPECT_EQ(session.WaitForExit(30000), 0) << session.Screen();
  const std::string& screen = session.Screen();
  EXPECT_TRUE(Has(screen, "fwupgrade: 192.168.123.254 (R1A) upgraded by HTTP with own.bin (58.6 KB) in ")) << screen;
  EXPECT_FALSE(Has(screen, "wrong")) << "the typing is hidden";
  EXPECT_FALSE(Has(screen, "Program Version")) << "no log pane on a terminal without \"log\"";
  EXPECT_TRUE(Echoes(session));
  ASSERT_EQ(Received().size(), 1u);
  EXPECT_TRUE(Received()[0] == firmware);
}

TEST_F(CliConsoleTest, EveryEndingAtThePasswordPromptGivesTheEchoBack) {
  StartLan();
  StartRouter({"--password", "admin"});
  UsePlainProgram();
  const std::string file = OwnFile(Firmware(100, 1));
  struct Case {
    std::string name, keys;
    int signal;
  };
  for (const Case& c : {Case{"Ctrl+C", "\x03", 0}, Case{"Ctrl+C twice", "\x03\x03", 0}, Case{"SIGTERM", "", SIGTERM},
                        Case{"SIGHUP", "", SIGHUP}}) {
    PtySession session;
    ASSERT_TRUE(StartOnTerminal(session, "set 192.168.123.254 null null " + file));
    ASSERT_TRUE(session.WaitFor("Router (number or address)", 20000)) << session.Screen();
    session.Type("\r");
    ASSERT_TRUE(session.WaitFor("Password: ", 5000)) << session.Screen();
    ASSERT_FALSE(Echoes(session)) << c.name << ": the prompt hides the typing";
    if (!c.keys.empty()) session.Type(c.keys);
    if (c.signal != 0) session.Signal(c.signal);
    const auto status = session.WaitForExit(10000);
    EXPECT_TRUE(status == 1 || status == 128 + SIGINT) << c.name << ": " << status.value_or(-1);
    EXPECT_TRUE(Echoes(session)) << c.name << ": the terminal echoes again";
    if (c.keys.size() < 2) {
      EXPECT_TRUE(Has(session.Screen(), "\nfwupgrade: 192.168.123.254 NOT upgraded: ended by SIG"))
          << c.name << ": the verdict, on a line of its own, names the router chosen\n" << session.Screen();
    }
  }
  EXPECT_FALSE(Has(lan_->RecordOf("r1"), "http")) << "no login was tried";
}

// A crashed router recovered from a terminal: the log pane's thousands of
// lines stay out of it, one progress bar and the verdict stay in.
TEST_F(CliConsoleTest, TerminalShowsProgressAndVerdictInsteadOfTheLog) {
  StartLan();
  StartRouter({"--crashed", "--reboot-delay", "300"});
  UsePlainProgram();
  PtySession session;
  ASSERT_TRUE(StartOnTerminal(session, std::string("put ") + kRouter + " null null " + OwnFile(Firmware(200000, 9))));
  EXPECT_EQ(session.WaitForExit(40000), 0) << session.Screen();
  const std::string& screen = session.Screen();
  EXPECT_FALSE(Has(screen, "Recv :")) << screen;
  EXPECT_FALSE(Has(screen, "Sent "));
  EXPECT_TRUE(Has(screen, "] 100%  195.0 KB of 195.0 KB")) << "whole blocks: " << screen;
  EXPECT_TRUE(Has(screen, "fwupgrade: 192.168.123.254 ($QuelbyQRT101) upgraded by TFTP with own.bin (195.3 KB) in "))
      << screen;
  const auto sent = screen.find("status: Success Upgrade and Wait to Reboot");
  ASSERT_NE(sent, std::string::npos) << screen;
  EXPECT_TRUE(Has(screen.substr(sent), "status: Recover success"));
  EXPECT_FALSE(Has(screen.substr(sent), "Beginning Upgrade")) << "the status does not go back";
}

TEST_F(CliConsoleTest, SearchListsEachRouterOnceAndAsJson) {
  StartLan(true, {{"r2", {"192.168.123.20"}}});
  StartRouter({"--rom-id", "R1A", "--info", "Attic"});
  ASSERT_TRUE(lan_->StartRouter("r2", {"--crashed"})) << lan_->Error();
  UsePlainProgram();
  const CommandResult json = lan_->RunInPc(
      upgrader_ + " search --json | python3 -c 'import json,sys\n"
                  "for r in json.load(sys.stdin): print(r[\"address\"], r[\"kind\"], r[\"status\"], r[\"rom_id\"], r[\"info\"])'",
      20000);
  EXPECT_EQ(json.exitStatus, 0) << json.err;
  EXPECT_EQ(json.out, "192.168.123.254 running 1 R1A Attic\n192.168.123.20 crashed 0 $QuelbyQRT101 unknown\n")
      << json.err;
  const CommandResult lines = Run("search");
  EXPECT_EQ(lines.exitStatus, 0);
  EXPECT_EQ(lines.out, "  1)  192.168.123.254  running  R1A            Attic\n"
                       "  2)  192.168.123.20   crashed  $QuelbyQRT101  unknown\n");
  EXPECT_TRUE(Has(lines.err, "2 routers found"));
}

TEST_F(CliConsoleTest, NoPasswordInTheDetailedLog) {
  StartLan();
  StartRouter({"--password", "s3cretPW"});
  UsePlainProgram();
  const CommandResult result = Run(std::string("put ") + kRouter + " s3cretPW null " + OwnFile(Firmware(5000, 2)) + " log");
  EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_TRUE(Has(result.out, "Set password = ******** in parameter input")) << result.out;
  EXPECT_FALSE(Has(result.out + result.err, "s3cretPW"));
  EXPECT_EQ(Received().size(), 1u) << "the router still got the password it needs";
}

}  // namespace
}  // namespace fwu
