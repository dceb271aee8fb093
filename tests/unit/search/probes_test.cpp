#include "search/probes.h"

#include <gtest/gtest.h>

#include <memory>

#include "unit/search/answer_builders.h"

namespace fwu {
namespace {

using namespace fwu::testing;

TEST(Probes, SmallProbesAreExactBytes) {
  EXPECT_EQ(BuildProbe(ProbeKind::Query, "x"), (Bytes{'Q', 'D', 0, 0}));
  EXPECT_EQ(BuildProbe(ProbeKind::Recovery, "x"), (Bytes{0, 1, 'V', 'N', 0, 'o', 'c', 't', 'e', 't', 0}));
  EXPECT_EQ(BuildProbe(ProbeKind::DefaultAddress, "x"), (Bytes{'Q', 'Q', 0}));
}

TEST(Probes, BootProbeCarriesTheRomIdInTheBootFileField) {
  const Bytes probe = BuildProbe(ProbeKind::Boot, "Kavlor");
  Bytes expected(548, 0);
  expected[0] = 0xC0;
  expected[1] = 0x01;
  expected[2] = 0x01;
  Put(expected, 108, "Kavlor");
  EXPECT_EQ(probe, expected);
}

TEST(Probes, BootProbeCutsTheRomIdToFifteenCharactersAndKeepsItsTerminator) {
  for (const std::string romId : {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMNOP", ""}) {
    const Bytes probe = BuildProbe(ProbeKind::Boot, romId);
    ASSERT_EQ(probe.size(), 548u);
    const std::string field(probe.begin() + 108, probe.begin() + 123);
    EXPECT_EQ(std::string(field.c_str()), romId.substr(0, 15)) << romId;
    EXPECT_EQ(probe[123], 0) << romId;
    EXPECT_TRUE(std::all_of(probe.begin() + 124, probe.end(), [](std::uint8_t b) { return b == 0; })) << romId;
  }
}

TEST(Probes, PortsAndReadBuffers) {
  EXPECT_EQ(ProbePort(ProbeKind::Query), 9);
  EXPECT_EQ(ProbePort(ProbeKind::Boot), 67);
  EXPECT_EQ(ProbePort(ProbeKind::Recovery), 69);
  EXPECT_EQ(ProbePort(ProbeKind::DefaultAddress), 9);
  EXPECT_EQ(ReadBufferSize(ProbeKind::Query), 68u);
  EXPECT_EQ(ReadBufferSize(ProbeKind::Boot), 548u);
  EXPECT_EQ(ReadBufferSize(ProbeKind::Recovery), 516u);
  EXPECT_EQ(ReadBufferSize(ProbeKind::DefaultAddress), 64u);
}

struct AnswerCase {
  const char* name;
  ProbeKind kind;
  Bytes datagram;
  bool accepted;
  std::string romId;
  std::string info;
};

TEST(Answers, FiltersAndTexts) {
  Bytes bootByC1(200, 0);
  bootByC1[0] = 0xC1;
  bootByC1[3] = 0x77;
  Bytes bootRejected = BootAnswer("R", "I");
  bootRejected[3] = 0x11;
  Bytes recoveryTagAtZero(32, 0);
  Put(recoveryTagAtZero, 0, "$Quelby");
  Bytes recoveryWrongTag = RecoveryAnswer();
  recoveryWrongTag[10] = 'Y';
  const std::vector<AnswerCase> cases{
      {"query", ProbeKind::Query, QueryAnswer("QRT101", "v2.01"), true, "QRT101", "v2.01"},
      {"query of one byte", ProbeKind::Query, Bytes{'x'}, true, "", ""},
      {"boot by byte 3", ProbeKind::Boot, BootAnswer("VNB101", "boot 1.0"), true, "VNB101", "boot 1.0"},
      {"boot by byte 0", ProbeKind::Boot, bootByC1, true, "", ""},
      {"boot rejected", ProbeKind::Boot, bootRejected, false, "", ""},
      {"recovery", ProbeKind::Recovery, RecoveryAnswer(" 1.2"), true, "$Quelby 1.2", "unknown"},
      {"recovery tag at 0", ProbeKind::Recovery, recoveryTagAtZero, false, "", ""},
      {"recovery wrong tag", ProbeKind::Recovery, recoveryWrongTag, false, "", ""},
      {"default", ProbeKind::DefaultAddress, DefaultAddressAnswer(), true, "default IP", "unknown"},
  };
  for (const AnswerCase& c : cases) {
    const auto texts = ParseAnswer(c.kind, c.datagram);
    ASSERT_EQ(texts.has_value(), c.accepted) << c.name;
    if (!texts) continue;
    EXPECT_EQ(texts->romId, c.romId) << c.name;
    EXPECT_EQ(texts->info, c.info) << c.name;
  }
}

TEST(Answers, TextWithoutZeroByteEndsAtTheEndOfTheData) {
  Bytes query(50, 'i');
  Put(query, 44, "ROMIDX");
  const auto texts = ParseAnswer(ProbeKind::Query, query);
  ASSERT_TRUE(texts);
  EXPECT_EQ(texts->romId, "ROMIDX");
  EXPECT_EQ(texts->info, std::string(32, 'i') + "ROMIDX") << "info runs on into the ROM ID";

  Bytes recovery(11, 0);
  Put(recovery, 4, "$Quelby");
  EXPECT_EQ(ParseAnswer(ProbeKind::Recovery, recovery)->romId, "$Quelby");
}

// Every prefix of every valid answer, each in a buffer of exactly its own
// size so that the sanitizer build catches a read past the data.
TEST(Answers, EveryTruncationIsHandledWithinTheData) {
  const std::vector<std::pair<ProbeKind, Bytes>> valid{
      {ProbeKind::Query, QueryAnswer("QRT101", "v2.01")},
      {ProbeKind::Boot, BootAnswer("VNB101", "boot")},
      {ProbeKind::Recovery, RecoveryAnswer("xyz")},
      {ProbeKind::DefaultAddress, DefaultAddressAnswer()},
  };
  for (const auto& [kind, whole] : valid) {
    for (std::size_t length = 0; length <= whole.size(); ++length) {
      const auto exact = std::make_unique<std::uint8_t[]>(length + 1);
      std::copy_n(whole.begin(), length, exact.get());
      const auto texts = ParseAnswer(kind, std::span<const std::uint8_t>(exact.get(), length));
      if (kind == ProbeKind::Boot) {
        EXPECT_EQ(texts.has_value(), length >= 4) << length;
      } else if (kind == ProbeKind::Recovery) {
        EXPECT_EQ(texts.has_value(), length >= 11) << length;
      }
      if (!texts || kind == ProbeKind::DefaultAddress) continue;
      const std::string data(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
      EXPECT_NE(data.find(texts->romId), std::string::npos) << length;
    }
  }
}

TEST(Answers, StatusCodesByKindEchoAndDuplicate) {
  struct Row {
    ProbeKind kind;
    bool reachable;
    bool listed;
    std::optional<std::int32_t> code;
  };
  const std::vector<Row> rows{
      {ProbeKind::Query, true, false, 1},           {ProbeKind::Query, true, true, -2},
      {ProbeKind::Query, false, false, 4},          {ProbeKind::Query, false, true, -5},
      {ProbeKind::Boot, true, false, 1},            {ProbeKind::Boot, false, true, -5},
      {ProbeKind::Recovery, true, false, 0},        {ProbeKind::Recovery, true, true, -1},
      {ProbeKind::Recovery, false, false, 3},       {ProbeKind::Recovery, false, true, -4},
      {ProbeKind::DefaultAddress, true, false, 2},  {ProbeKind::DefaultAddress, true, true, std::nullopt},
      {ProbeKind::DefaultAddress, false, false, 5}, {ProbeKind::DefaultAddress, false, true, -6},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(StatusCode(r.kind, r.reachable, r.listed), r.code)
        << static_cast<int>(r.kind) << r.reachable << r.listed;
  }
}

}  // namespace
}  // namespace fwu
