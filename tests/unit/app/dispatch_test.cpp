#include "unit/app/form_fixture.h"

namespace fwu::testing {
namespace {

constexpr const char* kNamed = "192.168.123.254";

// The start-up dispatch on a LAN with routers at two default addresses,
// which every search of one address finds, and listed before the router
// the user named. They are crashed routers and no transfer is given, so a
// wrong choice can reach no network: the run stops at "no method".
class DispatchTest : public FormTest {
 protected:
  DispatchTest() {
    search_.atDefaultAddresses = {{0, "192.168.0.1", "R", ""}, {0, "192.168.1.254", "R", ""}};
    search_.network = search_.atDefaultAddresses;
    search_.network.push_back({0, kNamed, "R", ""});
  }

  TUpgradeForm1& Activated(std::vector<std::string> arguments, const InitialSetting& control = DeliveredControl()) {
    auto& form = MakeForm(std::move(arguments), WriteDeliveredProgram(control));
    form.FormCreate();
    form.FormActivate();
    return form;
  }

  static InitialSetting Control(std::uint8_t method, const std::string& address) {
    InitialSetting control = DeliveredControl();
    control.SetByte(InitialSetting::kMethodOffset, method);
    control.SetText(InitialSetting::kDstIP, address);
    if (method == InitialSetting::kMethodGet) control.SetText(InitialSetting::kRomFile, "rom.bin");
    return control;
  }

  std::string EditText() const { return form_->Models().IPComBox.Text(); }
};

struct DispatchCase {
  const char* name;
  std::vector<std::string> arguments;  // empty: the control record decides
  std::uint8_t method;
  std::string dstIP;
  bool autoRun, interactive, get, stopTimer;
  int fullSearches;
  std::string edit;
};

void PrintTo(const DispatchCase& c, std::ostream* out) { *out << c.name; }

class DispatchVerdictTest : public DispatchTest, public ::testing::WithParamInterface<DispatchCase> {};

TEST_P(DispatchVerdictTest, EachBranchStartsWhatItShouldWithTheNamedRouter) {
  const DispatchCase& c = GetParam();
  Activated(c.arguments, Control(c.method, c.dstIP));
  const auto modes = form_->CurrentModes();
  EXPECT_EQ(modes.autoRun, c.autoRun);
  EXPECT_EQ(modes.interactive, c.interactive);
  EXPECT_EQ(modes.get, c.get);
  EXPECT_FALSE(modes.param) << "the first activation ends the parameters";
  EXPECT_EQ(form_->StopTimerEnabled(), c.stopTimer);
  EXPECT_EQ(search_.fullSearches, c.fullSearches);
  EXPECT_EQ(EditText(), c.edit);
  if (c.get) {
    EXPECT_EQ(form_->Models().window.Caption(), "Device ROM data download V1.1.0");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Branches, DispatchVerdictTest,
    ::testing::Values(
        DispatchCase{"PutParameter", {"put", kNamed, "pw", "null"}, 0, "", true, false, false, true, 0, kNamed},
        DispatchCase{"SetParameter", {"set", kNamed, "pw", "null"}, 0, "", false, false, false, false, 0, kNamed},
        DispatchCase{"GetParameter", {"get", kNamed, "pw", "null", "0", "512", "r.bin"}, 0, "", false, false, true,
                     true, 0, kNamed},
        DispatchCase{"UnknownParameterAddress", {"put", "10.1.1.1", "pw", "null"}, 0, "", true, false, false, true,
                     0, "10.1.1.1"},
        DispatchCase{"SearchAndWait", {}, InitialSetting::kMethodPut, "", false, true, false, false, 1,
                     "192.168.0.1"},
        DispatchCase{"UpgradeByItself", {}, InitialSetting::kMethodPut, kNamed, true, false, false, true, 0, kNamed},
        DispatchCase{"RomDownload", {}, InitialSetting::kMethodGet, kNamed, false, false, true, true, 0, kNamed},
        DispatchCase{"PresetAndWait", {}, InitialSetting::kMethodSet, kNamed, false, true, false, false, 0, kNamed},
        DispatchCase{"PresetNothingSearches", {}, InitialSetting::kMethodSet, "", false, true, false, false, 1,
                     "192.168.0.1"}),
    [](const ::testing::TestParamInfo<DispatchCase>& info) { return std::string(info.param.name); });

TEST_F(DispatchTest, AnUnreadableControlFileEndsTheProgram) {
  auto& form = MakeForm({}, WriteDeliveredProgram());
  form.FormCreate();
  ASSERT_TRUE(RemoveFile(form.FileList()[1].path));
  form.FormActivate();
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ(application_.terminations, 1);
}

TEST_F(DispatchTest, ARouterNobodyFoundIsNeverReplacedByAnother) {
  for (const auto& arguments : {std::vector<std::string>{"put", "10.1.1.1", "pw", "null", ScratchPath("fw.bin")},
                                std::vector<std::string>{"get", "10.1.1.1", "pw", "null", "0", "9", "r.bin"}}) {
    const std::size_t boxesBefore = dialogs_.Messages().size();
    search_.pinged.clear();
    search_.pingAnswers = false;  // a download gone wrong stops at the ping
    auto& form = Activated(arguments);
    loop_.AdvanceMs(1000);
    ASSERT_GT(dialogs_.Messages().size(), boxesBefore) << arguments[0];
    EXPECT_EQ(dialogs_.Messages().back().caption, "Router information not found") << arguments[0];
    EXPECT_TRUE(search_.pinged.empty()) << arguments[0] << ": no other router is asked";
    EXPECT_FALSE(form.Succeeded());
  }
}

TEST_F(DispatchTest, EnterOnATypedAddressSelectsThatRouter) {
  auto& form = Activated({}, Control(InitialSetting::kMethodPut, ""));
  form.Models().IPComBox.SetText(kNamed);
  form.IPComBoxKeyPress(13);
  EXPECT_EQ(EditText(), kNamed);
  EXPECT_TRUE(form.Models().Upgrade.Enabled());
  form.Models().IPComBox.SetText("10.1.1.1");
  form.IPComBoxKeyPress(13);
  EXPECT_EQ(EditText(), "10.1.1.1");
  form.UpgradeClick();
  EXPECT_EQ(dialogs_.Messages().back().caption, "Router information not found");
  EXPECT_TRUE(search_.pinged.empty());
}

}  // namespace
}  // namespace fwu::testing
