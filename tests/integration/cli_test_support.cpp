#include "integration/cli_test_support.h"

#include <sys/stat.h>

#include <filesystem>

#include "platform/files.h"

namespace fwu {

Bytes Firmware(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 131 + seed) ^ (i >> 9));
  return bytes;
}

InitialSetting Control(std::uint8_t flags) {
  InitialSetting s;
  s.SetByte(InitialSetting::kMethodOffset, InitialSetting::kMethodSet);
  s.SetByte(InitialSetting::kFlagsOffset, flags);
  for (const auto& field : InitialSetting::kSearchIP) s.SetText(field, "default");
  s.SetText(InitialSetting::kCaption, "default");
  return s;
}

InitialSetting PutControl(const std::string& password, std::uint8_t flags) {
  InitialSetting s = Control(flags);
  s.SetByte(InitialSetting::kMethodOffset, InitialSetting::kMethodPut);
  s.SetText(InitialSetting::kDstIP, kRouter);
  s.SetText(InitialSetting::kPassWd, password);
  s.SetByte(InitialSetting::kTimeOutOffset, 4);
  return s;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

void CliLanTest::StartLan(bool echo, std::vector<LanRouter> others, const std::string& pcRoute) {
  others.insert(others.begin(), LanRouter{"r1", {kRouter}, echo});
  lan_ = std::make_unique<VirtualLan>(std::move(others), pcRoute);
  ASSERT_TRUE(lan_->Up()) << lan_->Error();
  received_ = lan_->Dir() + "received";
  std::filesystem::create_directory(received_);
}

void CliLanTest::StartRouter(std::vector<std::string> args) {
  args.insert(args.end(), {"--store-dir", received_});
  ASSERT_TRUE(lan_->StartRouter("r1", args)) << lan_->Error();
}

std::string CliLanTest::Upgrader(const InitialSetting& control, std::vector<BundleEntry> entries) {
  const auto executable = ReadWholeFile(VirtualLan::BinPath("fwupgrade-cli"));
  EXPECT_TRUE(executable.has_value());
  entries.insert(entries.begin(), BundleEntry{"control.cfg", 0x1000, Bytes(control.Raw().begin(), control.Raw().end())});
  const BuiltBundle built = BuildBundle(*executable, entries);
  EXPECT_TRUE(built.Ok()) << built.error;
  const std::string path = lan_->Dir() + "upgrader";
  EXPECT_TRUE(WriteWholeFile(path, built.bytes));
  chmod(path.c_str(), 0755);
  return path;
}

CommandResult CliLanTest::Run(const std::string& arguments, int timeoutMs) {
  return lan_->RunInPc(upgrader_ + " " + arguments + " </dev/null", timeoutMs);
}

}  // namespace fwu
