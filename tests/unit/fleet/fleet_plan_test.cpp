#include "fleet/fleet_plan.h"

#include <gtest/gtest.h>

#include <map>

#include "fleet/fleet_report.h"

namespace fwu {
namespace {

struct Lan {
  std::vector<DeviceEntry> found;
  std::map<std::string, std::string> passwords;  // the one each router takes
  std::map<std::string, bool> older;             // routers of the older generation
  std::vector<std::string> logins;               // "address/password", in order
  std::set<std::string> firmwareFor{"QRT101", "$Quelby R1A"};

  PlanChecks Checks() {
    return {[this](const std::string& romId, bool) {
              return firmwareFor.count(romId) ? std::vector<std::string>{"/tmp/fw-" + romId} : std::vector<std::string>{};
            },
            [this](const std::string& address, const std::string& password) {
              logins.push_back(address + "/" + password);
              if (passwords[address] != password) return PlanChecks::Login{PlanChecks::Login::Outcome::Refused};
              return PlanChecks::Login{PlanChecks::Login::Outcome::Accepted,
                                       older[address] ? FleetMethod::Ftp : FleetMethod::Http};
            }};
  }
};

FleetOptions Options(std::vector<std::string> words) { return *ParseFleetOptions(words).options; }

const PlannedRouter& Row(const std::vector<PlannedRouter>& plan, const std::string& address) {
  for (const PlannedRouter& row : plan) {
    if (row.address == address) return row;
  }
  throw std::runtime_error("no row for " + address);
}

TEST(FleetPlan, CrashedModelDropsTheTagAndTheBlanksAfterIt) {
  EXPECT_EQ(ModelOf({0, "a", "$Quelby R1A", ""}), "R1A");
  EXPECT_EQ(ModelOf({0, "a", "$QuelbyR1A", ""}), "R1A");
  EXPECT_EQ(ModelOf({1, "a", "$Quelby R1A", ""}), "$Quelby R1A") << "only a crashed router's ID carries the tag";
}

TEST(FleetPlan, FiltersModelsAndPasswords) {
  Lan lan;
  lan.found = {{1, "10.0.0.1", "QRT101", "v1"},  {-2, "10.0.0.1", "QRT101", "v1"}, {0, "10.0.0.2", "$Quelby R1A", "unknown"},
               {1, "10.0.0.3", "ZRT900", "v1"},  {4, "10.0.0.4", "QRT101", "v1"},   {1, "10.0.0.5", "QRT101", "v2"},
               {1, "10.0.0.6", "QRT101", "v1"},  {1, "10.0.0.7", "QRT101", "v1"},   {1, "10.0.0.8", "QRT777", "v1"}};
  lan.passwords = {{"10.0.0.1", "b"}, {"10.0.0.5", "a"}, {"10.0.0.6", "z"}, {"10.0.0.7", "c"}, {"10.0.0.3", "a"}};
  lan.older["10.0.0.7"] = true;
  const auto plan = MakePlan(lan.found, Options({"--password", "a", "--password", "b", "--password", "c", "--romid",
                                                 "QRT", "--target-info", "v2", "--recover", "fw.bin"}),
                             lan.Checks());
  ASSERT_EQ(plan.size(), 8u) << "the duplicate line is no router";
  struct Expected {
    const char* address;
    RouterResult result;
    const char* reason;
    FleetMethod method;
  };
  for (const Expected& e : std::vector<Expected>{
           {"10.0.0.1", RouterResult::Planned, "", FleetMethod::Http},
           {"10.0.0.2", RouterResult::Skipped, "other model", FleetMethod::None},  // R1A is not QRT
           {"10.0.0.3", RouterResult::Skipped, "other model", FleetMethod::None},
           {"10.0.0.4", RouterResult::Skipped, "IP unreachable", FleetMethod::None},
           {"10.0.0.5", RouterResult::Skipped, "already current", FleetMethod::None},
           {"10.0.0.6", RouterResult::Failed, "password refused", FleetMethod::None},
           {"10.0.0.7", RouterResult::Planned, "", FleetMethod::Ftp},
           {"10.0.0.8", RouterResult::Skipped, "no firmware for ROM ID QRT777", FleetMethod::None},
       }) {
    const PlannedRouter& row = Row(plan, e.address);
    EXPECT_EQ(row.result, e.result) << e.address;
    EXPECT_EQ(row.reason, e.reason) << e.address;
    EXPECT_EQ(row.method, e.method) << e.address;
  }
  EXPECT_EQ(Row(plan, "10.0.0.1").password, "b");
  EXPECT_EQ(lan.logins, (std::vector<std::string>{"10.0.0.1/a", "10.0.0.1/b", "10.0.0.6/a", "10.0.0.6/b", "10.0.0.6/c",
                                                  "10.0.0.7/a", "10.0.0.7/b", "10.0.0.7/c", }))
      << "skipped routers get no login; each running one at most three";
}

TEST(FleetPlan, CrashedRoutersNeedRecoverAndUseTheTableRomIdForFiles) {
  Lan lan;
  lan.found = {{0, "10.0.0.2", "$Quelby R1A", "unknown"}};
  const auto without = MakePlan(lan.found, Options({}), lan.Checks());
  EXPECT_EQ(without[0].result, RouterResult::Skipped);
  const auto with = MakePlan(lan.found, Options({"--recover", "--romid", "R1"}), lan.Checks());
  EXPECT_EQ(with[0].result, RouterResult::Planned);
  EXPECT_EQ(with[0].method, FleetMethod::Tftp);
  EXPECT_EQ(with[0].files, std::vector<std::string>{"/tmp/fw-$Quelby R1A"});
  EXPECT_TRUE(lan.logins.empty()) << "a boot loader has no web login";
}

TEST(FleetPlan, OnlyKeepsTheNamedAndReportsTheMissing) {
  Lan lan;
  lan.found = {{1, "10.0.0.1", "QRT101", "v1"}, {1, "10.0.0.2", "QRT101", "v1"}};
  lan.passwords = {{"10.0.0.1", ""}};
  const auto plan = MakePlan(lan.found, Options({"--only", "10.0.0.1,10.0.0.9"}), lan.Checks());
  ASSERT_EQ(plan.size(), 2u);
  EXPECT_EQ(plan[0].address, "10.0.0.1");
  EXPECT_EQ(plan[0].result, RouterResult::Planned) << "no --password: the empty one";
  EXPECT_EQ(plan[1].address, "10.0.0.9");
  EXPECT_EQ(plan[1].result, RouterResult::Failed);
}

TEST(FleetOptions, UsageErrors) {
  for (const auto& words : std::vector<std::vector<std::string>>{{"fw.bin"},
                                                                {"--jobs", "0"},
                                                                {"--jobs", "17"},
                                                                {"--rom", "0:16"},
                                                                {"--only", "10.0.0.1,router"},
                                                                {"--verify-timeout"},
                                                                {"--bogus"},
                                                                {"--romid", "Q", "a.bin", "b.bin"},
                                                                {"--password", "1", "--password", "2", "--password",
                                                                 "3", "--password", "4"}}) {
    EXPECT_FALSE(ParseFleetOptions(words).options) << words[0];
  }
  const FleetOptions options = Options({"--backup", "d", "--rom", "0x100:4096", "--jobs", "16"});
  EXPECT_EQ(options.rom->offset, "0x100");
  EXPECT_EQ(options.jobs, 16);
  EXPECT_EQ(Options({}).verifySeconds, 300);
}

PlannedRouter Result(RouterResult result, const std::string& reason = "") {
  PlannedRouter row;
  row.result = result;
  row.reason = reason;
  return row;
}

TEST(FleetReport, ExitStatus) {
  using R = RouterResult;
  struct Case {
    std::vector<PlannedRouter> rows;
    int status;
  };
  for (const Case& c : std::vector<Case>{
           {{}, 1},
           {{Result(R::Verified)}, 0},
           {{Result(R::Verified), Result(R::Skipped, "other model")}, 0},
           {{Result(R::Skipped, "already current")}, 0},
           {{Result(R::Skipped, "other model")}, 1},
           {{Result(R::Verified), Result(R::NotVerified)}, 1},
           {{Result(R::Verified), Result(R::Failed)}, 1},
       }) {
    EXPECT_EQ(FleetExitStatus(c.rows, false), c.status) << c.rows.size();
  }
  EXPECT_EQ(FleetExitStatus({Result(R::Failed)}, true), 0) << "a dry run that planned";
}

TEST(FleetReport, SummaryCountsAndMarksAnInterruptedRun) {
  const std::string summary =
      SummaryTable({Result(RouterResult::Verified), Result(RouterResult::Failed, "interrupted")}, true);
  EXPECT_NE(summary.find("summary (interrupted):"), std::string::npos);
  EXPECT_NE(summary.find("1 verified, 0 not verified, 1 failed, 0 skipped (interrupted)"), std::string::npos);
}

}  // namespace
}  // namespace fwu
