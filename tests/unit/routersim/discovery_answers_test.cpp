#include "discovery_answers.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fwu {
namespace {

using namespace discovery_layout;

const Bytes kQueryProbe = {'Q', 'D', 0, 0};
const Bytes kDefaultProbe = {'Q', 'Q', 0};
const Bytes kRecoveryProbe = ToBytes(std::string("\0\1VN\0octet\0", 11));

Bytes BootProbe(const std::string& romId) {
  Bytes probe(548, 0);
  probe[0] = 0xC0;
  probe[1] = 1;
  probe[2] = 1;
  probe[4] = 0x12;
  probe[7] = 0x34;
  std::copy(romId.begin(), romId.end(), probe.begin() + 108);
  return probe;
}

std::string TextAt(const Bytes& bytes, std::size_t offset) {
  const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(offset);
  return std::string(begin, std::find(begin, bytes.end(), 0));
}

TEST(DiscoveryProbes, EachProbeIsRecognisedOnItsPortOnly) {
  EXPECT_EQ(ClassifyProbe(9, kQueryProbe), ProbeKind::Query);
  EXPECT_EQ(ClassifyProbe(9, kDefaultProbe), ProbeKind::Default);
  EXPECT_EQ(ClassifyProbe(67, BootProbe("Kavlor")), ProbeKind::Boot);
  EXPECT_EQ(ClassifyProbe(69, kRecoveryProbe), ProbeKind::Recovery);
  EXPECT_FALSE(ClassifyProbe(67, kQueryProbe));
  EXPECT_FALSE(ClassifyProbe(69, kQueryProbe));
  EXPECT_FALSE(ClassifyProbe(9, kRecoveryProbe));
  EXPECT_FALSE(ClassifyProbe(68, BootProbe("x")));
  // A TFTP read of another file (the reboot request "R!") is not discovery.
  EXPECT_FALSE(ClassifyProbe(69, ToBytes(std::string("\0\1R!\0octet\0", 11))));
  EXPECT_FALSE(ClassifyProbe(69, ToBytes(std::string("\0\2VN\0octet\0", 11))));
}

TEST(DiscoveryProbes, TruncatedProbesAreNotTakenForProbes) {
  const Bytes boot = BootProbe("K");
  for (std::size_t cut = 0; cut < 124; ++cut) {
    EXPECT_FALSE(ClassifyProbe(67, Bytes(boot.begin(), boot.begin() + cut))) << cut;
  }
  for (std::size_t cut = 0; cut < 5; ++cut) {
    EXPECT_FALSE(ClassifyProbe(69, Bytes(kRecoveryProbe.begin(), kRecoveryProbe.begin() + cut))) << cut;
  }
  EXPECT_FALSE(ClassifyProbe(9, Bytes{'Q'}));
  EXPECT_FALSE(ClassifyProbe(9, Bytes{}));
}

TEST(DiscoveryProbes, BootProbeRomIdIsReadUpToItsZero) {
  EXPECT_EQ(BootProbeRomId(BootProbe("Kavlor")), "Kavlor");
  EXPECT_EQ(BootProbeRomId(BootProbe("")), "");
  EXPECT_EQ(BootProbeRomId(Bytes(100, 1)), "");
  Bytes unterminated(112, 0);
  std::fill(unterminated.begin() + 108, unterminated.end(), 'A');
  EXPECT_EQ(BootProbeRomId(unterminated), "AAAA");
}

TEST(DiscoveryAnswers, WellFormedAnswersCarryTheTextsWhereTheSearchReadsThem) {
  const RouterIdentity identity{"QRT101", "Router", BootMark::Both};
  const Bytes query = BuildAnswer(ProbeKind::Query, kQueryProbe, identity, Malformation::None);
  ASSERT_EQ(query.size(), 68u);
  EXPECT_EQ(TextAt(query, 44), "QRT101");
  EXPECT_EQ(TextAt(query, 12), "Router");

  const Bytes boot = BuildAnswer(ProbeKind::Boot, BootProbe("Kavlor"), identity, Malformation::None);
  ASSERT_EQ(boot.size(), 548u);
  EXPECT_EQ(boot[0], 0xC1);
  EXPECT_EQ(boot[3], 0x10);
  EXPECT_EQ(boot[4], 0x12) << "transaction id echoed";
  EXPECT_EQ(boot[7], 0x34);
  EXPECT_EQ(TextAt(boot, 108), "QRT101");
  EXPECT_EQ(TextAt(boot, 140), "Router");

  const Bytes recovery = BuildAnswer(ProbeKind::Recovery, kRecoveryProbe, identity, Malformation::None);
  EXPECT_EQ(recovery, ToBytes(std::string("\0\3\0\1$QuelbyQRT101\0", 18)));

  const Bytes fallback = BuildAnswer(ProbeKind::Default, kDefaultProbe, identity, Malformation::None);
  EXPECT_LE(fallback.size(), 64u);
  EXPECT_EQ(TextAt(fallback, 4), "QRT101");
}

TEST(DiscoveryAnswers, BootMarksAreIndependent) {
  RouterIdentity identity;
  const std::pair<BootMark, std::pair<bool, bool>> cases[] = {{BootMark::Both, {true, true}},
                                                              {BootMark::OpC1, {true, false}},
                                                              {BootMark::Hops10, {false, true}},
                                                              {BootMark::Neither, {false, false}}};
  for (const auto& [mark, expected] : cases) {
    identity.bootMark = mark;
    const Bytes boot = BuildAnswer(ProbeKind::Boot, BootProbe("x"), identity, Malformation::None);
    EXPECT_EQ(boot[0] == 0xC1, expected.first);
    EXPECT_EQ(boot[3] == 0x10, expected.second);
  }
}

TEST(DiscoveryAnswers, OverlongTextsAreCutButStayTerminatedWithinTheLimit) {
  const RouterIdentity identity{std::string(700, 'R'), std::string(700, 'I'), BootMark::Both};
  const std::pair<ProbeKind, Bytes> probes[] = {{ProbeKind::Query, kQueryProbe},
                                                {ProbeKind::Boot, BootProbe("K")},
                                                {ProbeKind::Recovery, kRecoveryProbe},
                                                {ProbeKind::Default, kDefaultProbe}};
  const std::size_t limits[] = {68, 548, 516, 64};
  for (std::size_t i = 0; i < 4; ++i) {
    const Bytes answer = BuildAnswer(probes[i].first, probes[i].second, identity, Malformation::None);
    EXPECT_LE(answer.size(), limits[i]) << ProbeKindName(probes[i].first);
    EXPECT_EQ(answer.back(), 0) << ProbeKindName(probes[i].first);
  }
  const Bytes query = BuildAnswer(ProbeKind::Query, kQueryProbe, identity, Malformation::None);
  EXPECT_EQ(TextAt(query, 12).size(), 31u) << "info must not run into the ROM ID field";
}

TEST(DiscoveryAnswers, TooLongExceedsEveryClientBuffer) {
  const RouterIdentity identity;
  EXPECT_EQ(BuildAnswer(ProbeKind::Query, kQueryProbe, identity, Malformation::TooLong).size(), 100u);
  EXPECT_GT(BuildAnswer(ProbeKind::Boot, BootProbe("K"), identity, Malformation::TooLong).size(), 548u);
  EXPECT_GT(BuildAnswer(ProbeKind::Recovery, kRecoveryProbe, identity, Malformation::TooLong).size(), 516u);
  EXPECT_GT(BuildAnswer(ProbeKind::Default, kDefaultProbe, identity, Malformation::TooLong).size(), 64u);
}

TEST(DiscoveryAnswers, NoZeroEndsTheDatagramWithTheLastText) {
  const RouterIdentity identity{"NZ7", "Info", BootMark::Both};
  const Bytes query = BuildAnswer(ProbeKind::Query, kQueryProbe, identity, Malformation::NoZero);
  EXPECT_EQ(query.size(), 47u);
  EXPECT_EQ(std::count(query.begin() + 12, query.end(), 0), 0);
  EXPECT_EQ(ToText(Bytes(query.begin() + 44, query.end())), "NZ7");

  const Bytes boot = BuildAnswer(ProbeKind::Boot, BootProbe("K"), identity, Malformation::NoZero);
  EXPECT_EQ(boot.size(), 144u);
  EXPECT_EQ(ToText(Bytes(boot.begin() + 140, boot.end())), "Info");
  EXPECT_EQ(std::count(boot.begin() + 108, boot.end(), 0), 0);

  const Bytes recovery = BuildAnswer(ProbeKind::Recovery, kRecoveryProbe, identity, Malformation::NoZero);
  EXPECT_EQ(ToText(Bytes(recovery.begin() + 4, recovery.end())), "$QuelbyNZ7");
}

TEST(DiscoveryAnswers, TagAtZeroMovesOnlyTheRecoveryTag) {
  const RouterIdentity identity;
  const Bytes recovery = BuildAnswer(ProbeKind::Recovery, kRecoveryProbe, identity, Malformation::TagAtZero);
  EXPECT_EQ(TextAt(recovery, 0), "$QuelbyQRT101");
  EXPECT_EQ(BuildAnswer(ProbeKind::Query, kQueryProbe, identity, Malformation::TagAtZero),
            BuildAnswer(ProbeKind::Query, kQueryProbe, identity, Malformation::None));
}

}  // namespace
}  // namespace fwu
