#include "unit/app/form_fixture.h"

namespace fwu::testing {
namespace {

class InitialSettingTest : public FormTest {
 protected:
  // Creates the window over a bundle with this control record and applies it.
  int Apply(const InitialSetting& control) {
    auto& form = MakeForm({}, WriteDeliveredProgram(control));
    form.FormCreate();
    firstApplyLine_ = LogLines().size();
    return form.ApplyInitialSetting();
  }
  std::vector<std::string> AppliedLines() const {
    const auto lines = LogLines();
    return {lines.begin() + static_cast<long>(firstApplyLine_), lines.end()};
  }
  std::size_t firstApplyLine_ = 0;
};

TEST_F(InitialSettingTest, DeliveredControlFilePresetsAndWaits) {
  EXPECT_EQ(Apply(DeliveredControl()), 3);
  const std::vector<std::string> expected{
      "Set DstIP = ",
      "Set PassWd = ",
      "Set ROMID = ",
      "Set Time out value to : 50",
      "FTP upgrade method first used.",
      "Program release to User",
      "Disnabled Section ID check.",
      "Total section list : ",
  };
  EXPECT_EQ(AppliedLines(), expected);
  ASSERT_EQ(search_.parameters.size(), 1u);
  EXPECT_EQ(search_.parameters[0].flags, 0x19);
  EXPECT_EQ(search_.parameters[0].romId, "");
  EXPECT_EQ(search_.parameters[0].addresses[0], "default");
  EXPECT_TRUE(search_.searchedAddresses.empty()) << "an empty DstIP searches nothing";
  EXPECT_EQ(form_->Models().window.Caption(), "Firmware Upgrade  V1.1.1");
  EXPECT_EQ(form_->TimeOut(), 50);
  EXPECT_TRUE(form_->CurrentModes().methodFirst);
  EXPECT_FALSE(form_->CurrentModes().factoryRelease);
}

TEST_F(InitialSettingTest, FlagsAreReadEvenWhenTheSearchKeepsItsOwn) {
  InitialSetting control = DeliveredControl();
  control.SetByte(InitialSetting::kFlagsOffset, 255);
  Apply(control);
  EXPECT_EQ(search_.parameters.back().flags, 255);
  EXPECT_TRUE(Logged("Enabled Log state by initial setting"));
  EXPECT_TRUE(Logged("Enabled Section ID check."));
  EXPECT_TRUE(form_->CurrentModes().sectionIDCheck);
}

TEST_F(InitialSettingTest, FactoryReleaseAndSignedTimeOut) {
  InitialSetting control = DeliveredControl();
  control.SetByte(InitialSetting::kFlagsOffset, 0x0F);
  control.SetByte(InitialSetting::kTimeOutOffset, 200);
  control.SetByte(InitialSetting::kMethodOrderOffset, 0);
  Apply(control);
  EXPECT_TRUE(Logged("Program release to Factory"));
  EXPECT_TRUE(form_->CurrentModes().factoryRelease);
  EXPECT_TRUE(Logged("Set Time out value to : -56"));
  EXPECT_EQ(form_->TimeOut(), -56);
  EXPECT_TRUE(Logged("default sequence of upgrade method used."));
  EXPECT_FALSE(form_->CurrentModes().methodFirst);
}

TEST_F(InitialSettingTest, EmptyCaptionIsNotDefault) {
  InitialSetting control = DeliveredControl();
  control.SetText(InitialSetting::kCaption, "");
  Apply(control);
  EXPECT_EQ(form_->Models().window.Caption(), "");
}

TEST_F(InitialSettingTest, PutWithFileAndAddressUpgradesByItself) {
  InitialSetting control = DeliveredControl();
  control.SetByte(InitialSetting::kMethodOffset, InitialSetting::kMethodPut);
  control.SetText(InitialSetting::kDstIP, "192.168.9.1");
  control.SetText(InitialSetting::kPassWd, "admin");
  control.SetText(InitialSetting::kUpgradeFile, "/fw/image.bin");
  EXPECT_EQ(Apply(control), 1);
  EXPECT_EQ(search_.searchedAddresses, std::vector<std::string>{"192.168.9.1"});
  EXPECT_EQ(form_->Models().UpdateFileName.Text(), NativePath("/fw/image.bin ;"));
  EXPECT_TRUE(Logged("Initial put upgrade file : " + NativePath("/fw/image.bin ;")));
  EXPECT_TRUE(Logged("Set PassWd = *****")) << "the log never holds the password";
  ASSERT_EQ(form_->FileList().Count(), 1u);
  EXPECT_EQ(form_->FileList()[0].attribute, 0x080D);
}

TEST_F(InitialSettingTest, PutVerdictsDependOnAddressAndFiles) {
  InitialSetting control = DeliveredControl();
  control.SetByte(InitialSetting::kMethodOffset, InitialSetting::kMethodPut);
  EXPECT_EQ(Apply(control), 0) << "no address: search and wait";
  control.SetText(InitialSetting::kDstIP, "192.168.9.1");
  EXPECT_EQ(Apply(control), 1) << "address and the bundle's files";
  control.SetText(InitialSetting::kUpgradeFile, "/fw/image.bin");
  control.SetText(InitialSetting::kDstIP, "");
  EXPECT_EQ(Apply(control), 0) << "a file but no address";
}

TEST_F(InitialSettingTest, GetWithRomFileDownloads) {
  InitialSetting control = DeliveredControl();
  control.SetByte(InitialSetting::kMethodOffset, InitialSetting::kMethodGet);
  control.SetText(InitialSetting::kRomFile, "settings.bin");
  control.SetText(InitialSetting::kRomOffset, "0x1000");
  control.SetText(InitialSetting::kRomLength, "512");
  EXPECT_EQ(Apply(control), 2);
  EXPECT_EQ(form_->Models().UpdateFileName.Text(), "settings.bin ;");
}

TEST_F(InitialSettingTest, SetWithFilePresets) {
  InitialSetting control = DeliveredControl();
  control.SetText(InitialSetting::kUpgradeFile, "/fw/other.bin");
  EXPECT_EQ(Apply(control), 3);
  EXPECT_TRUE(Logged("Initial set upgrade file : " + NativePath("/fw/other.bin ;")));
}

TEST_F(InitialSettingTest, UnsupportedMethodIsReportedAndSkipped) {
  InitialSetting control = DeliveredControl();
  control.SetByte(InitialSetting::kMethodOffset, 'Z');
  EXPECT_EQ(Apply(control), 0);
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  EXPECT_EQ(dialogs_.Messages()[0].text, "Not Support Method Error");
  EXPECT_EQ(dialogs_.Messages()[0].caption, "Function Waring");
  EXPECT_EQ(dialogs_.Messages()[0].buttons, ButtonSet::OkCancel);
  EXPECT_TRUE(Logged("Not Support Method : Z"));
}

TEST_F(InitialSettingTest, ShortControlFileKeepsTheRestOfTheRecord) {
  InitialSetting control = DeliveredControl();
  Bytes shortRecord = RecordBytes(control);
  shortRecord.resize(40);  // up to and including Method
  auto& form = MakeForm({}, WriteProgram({{"control.cfg", 0x1000, shortRecord}, {"fw.bin", 0x080D, Bytes(10, 1)}}));
  form.FormCreate();
  EXPECT_EQ(form.ApplyInitialSetting(), 3);
  EXPECT_EQ(search_.parameters.back().flags, 159) << "Flags keep the start-up value";
}

TEST_F(InitialSettingTest, UnreadableControlFileEndsWithItsBox) {
  auto& form = MakeForm({}, WriteDeliveredProgram());
  form.FormCreate();
  const std::string controlPath = form.FileList()[1].path;
  ASSERT_TRUE(RemoveFile(controlPath));
  EXPECT_EQ(form.ApplyInitialSetting(), -1);
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  EXPECT_EQ(dialogs_.Messages()[0].text, "Read file : " + controlPath + " error!");
  EXPECT_EQ(dialogs_.Messages()[0].caption, "Function Error");
  EXPECT_EQ(dialogs_.Messages()[0].buttons, ButtonSet::YesNoCancel);
}

}  // namespace
}  // namespace fwu::testing
