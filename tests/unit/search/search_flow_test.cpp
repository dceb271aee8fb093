#include "unit/search/search_fixture.h"

namespace fwu {
namespace {

using namespace fwu::testing;

using SearchFlow = SearchFixture;

TEST_F(SearchFlow, FullSearchSendsTheProbesInOrderAndFilesEveryAnswer) {
  lan->Respond("192.168.9.1", 9, QueryAnswer("QRT101", "v2.01"));
  lan->Respond("192.168.9.1", 67, BootAnswer("QRT101", "boot"));
  lan->Respond("192.168.9.2", 69, RecoveryAnswer());
  lan->Respond("192.168.0.1", 9, DefaultAddressAnswer(), ToBytes("QQ"));
  echo->Answer("192.168.9.1");
  echo->Answer("192.168.0.1");

  form->RunFullSearch(dialogs);

  EXPECT_EQ(Destinations(), (std::vector<std::string>{"255.255.255.255:9", "255.255.255.255:67",
                                                      "255.255.255.255:69", "192.168.123.254:9", "192.168.2.1:9",
                                                      "192.168.0.1:9", "192.168.1.254:9"}));
  EXPECT_EQ(lan->sent[0].data, BuildProbe(ProbeKind::Query, "Kavlor"));
  EXPECT_EQ(lan->sent[1].data, BuildProbe(ProbeKind::Boot, "Kavlor"));
  EXPECT_EQ(Lines(222), (std::vector<std::string>{"192.168.9.1  QRT101 - v2.01   normal",
                                                  "192.168.9.1  QRT101 - boot   normal IP duplicate",
                                                  "192.168.9.2  $Quelby - unknown   crash and IP unreachable",
                                                  "192.168.0.1  default IP - unknown   default"}));
  EXPECT_EQ(status.Text(), "4 devices found");
  EXPECT_EQ(list.Text(), list.Items().front());
  // Seven 200 ms waits after the 20 ms timer; the echoes are instant here.
  EXPECT_EQ(loop.NowMs(), 20 + 7 * 200);
}

TEST_F(SearchFlow, BroadcastIsAllowedOnlyForBroadcastProbesAndPort68IsKeptAfterTheBootProbe) {
  form->RunFullSearch(dialogs);
  form->SearchAddress("10.1.2.3");
  ASSERT_EQ(lan->sent.size(), 7u + 7u);
  for (const auto& s : lan->sent) EXPECT_EQ(s.broadcastAllowed, s.to.address == kBroadcastIpv4);
  EXPECT_NE(lan->sent[0].localPort, 68) << "the query goes first, from any port";
  for (std::size_t i = 1; i < lan->sent.size(); ++i) EXPECT_EQ(lan->sent[i].localPort, 68) << i;
  EXPECT_EQ(form->Socket().LocalPort(), "68");
}

TEST_F(SearchFlow, AnsweringDevicesGetDuplicateAndUnreachableCodes) {
  // .1 echoes; .2 and .3 do not. .1 and .2 are also fixed addresses.
  form->SetSearchParameters(0x9F, "Kavlor", {"10.0.0.1", "10.0.0.2", "", ""});
  echo->Answer("10.0.0.1");
  lan->Respond("10.0.0.1", 9, QueryAnswer("A", "a"));
  lan->Respond("10.0.0.1", 69, RecoveryAnswer());
  lan->Respond("10.0.0.2", 9, QueryAnswer("B", "b"));
  lan->Respond("10.0.0.3", 67, BootAnswer("C", "c"));
  lan->Respond("10.0.0.3", 69, RecoveryAnswer());
  form->RunFullSearch(dialogs);
  // The fixed addresses are listed already, so they are not even probed.
  EXPECT_EQ(lan->sent.size(), 3u);
  EXPECT_EQ(Codes(), (std::vector<std::int32_t>{1, 4, 4, -1, -4}));

  lan->Respond("10.0.0.4", 9, DefaultAddressAnswer());
  form->ClearTable();
  form->SetSearchParameters(0x80 | 0x04, "Kavlor", {"10.0.0.4", "", "", ""});
  form->SearchAddress("255.255.255.255");
  echo->Answer("10.0.0.4");
  form->SearchAddress("255.255.255.255");
  EXPECT_EQ(Codes(), (std::vector<std::int32_t>{5})) << "a listed fixed address is not probed again";
}

TEST_F(SearchFlow, FixedAddressAnsweringTwiceIsADuplicateOnlyWhileUnreachable) {
  form->SetSearchParameters(0x84, "Kavlor", {"10.0.0.5", "10.0.0.6", "", ""});
  for (const char* device : {"10.0.0.5", "10.0.0.6"}) {
    lan->Respond(device, 9, DefaultAddressAnswer());
    lan->Respond(device, 9, DefaultAddressAnswer());
  }
  echo->Answer("10.0.0.6");
  form->RunFullSearch(dialogs);
  EXPECT_EQ(Lines(222), (std::vector<std::string>{"10.0.0.5  default IP - unknown   default IP unreachable",
                                                  "10.0.0.5  default IP - unknown   default IP unreachable and duplicate",
                                                  "10.0.0.6  default IP - unknown   default"}));
  EXPECT_EQ(Lines(111), (std::vector<std::string>{"10.0.0.5   IP unreachable", "10.0.0.5   IP unreachable and duplicate",
                                                  "10.0.0.6"}));
}

TEST_F(SearchFlow, BootProbeThatCannotHavePort68IsSkippedAndLoggedAndThePortRestored) {
  struct Row {
    int error;
    std::string logged;
  };
  for (const Row& r : {Row{10013, "Search skipped the boot probe: Permission Denied."},
                       Row{10048, "Search skipped the boot probe: Address already in use."}}) {
    SetUp();
    MemoModel log;
    form->SetLog(&log);
    lan->failBindWith = r.error;
    lan->failBindOnlyOnPort = 68;
    lan->Respond("192.168.9.1", 9, QueryAnswer("QRT101", "v2"));
    lan->Respond("192.168.9.2", 69, RecoveryAnswer());
    echo->Answer("192.168.9.1");
    echo->Answer("192.168.9.2");
    EXPECT_NO_THROW(form->RunFullSearch(dialogs));
    EXPECT_EQ(Codes(), (std::vector<std::int32_t>{1, 0})) << r.error;
    EXPECT_EQ(log.Lines(), std::vector<std::string>{r.logged});
    EXPECT_EQ(Destinations().size(), 6u) << "every probe but the boot probe went out";
    for (const auto& s : lan->sent) EXPECT_NE(s.localPort, 68);
    EXPECT_NE(form->Socket().LocalPort(), "68");
  }
}

TEST_F(SearchFlow, WithoutDefaultRouteProbesLeaveByEveryInterfaceAndAnswersShareOneTable) {
  constexpr Ipv4 kCable = 0xC0A80964u, kWifi = 0x0A000064u;  // 192.168.9.100, 10.0.0.100
  lan->interfaces = {{"eth0", 2, kCable}, {"wlan0", 3, kWifi}};
  lan->noDefaultRoute = true;
  lan->Respond("192.168.9.1", 9, QueryAnswer("QRT101", "v2"), {}, kCable);
  lan->Respond("10.0.0.1", 69, RecoveryAnswer(), {}, kWifi);
  lan->Respond("192.168.0.1", 9, DefaultAddressAnswer(), ToBytes("QQ"), kCable);
  form->RunFullSearch(dialogs);
  ASSERT_EQ(lan->sent.size(), 2u * 7u) << "three broadcasts and four fixed addresses, each on both links";
  for (std::size_t i = 0; i < lan->sent.size(); ++i) EXPECT_EQ(lan->sent[i].source, i % 2 == 0 ? kCable : kWifi);
  EXPECT_EQ(Lines(222), (std::vector<std::string>{"192.168.9.1  QRT101 - v2   normal IP unreachable",
                                                  "10.0.0.1  $Quelby - unknown   crash and IP unreachable",
                                                  "192.168.0.1  default IP - unknown   default IP unreachable"}));
  EXPECT_EQ(loop.NowMs(), 20 + 7 * 200) << "one wait per probe, however many links";
}

TEST_F(SearchFlow, RouterTextsAreFiledPrintable) {
  lan->Respond("192.168.9.1", 9, QueryAnswer("QRT\x1b[2J", "\x1b]0;owned\x07 v2\x7f"));
  form->RunFullSearch(dialogs);
  EXPECT_EQ(Lines(222), std::vector<std::string>{"192.168.9.1  QRT?[2J - ?]0;owned? v2?   normal IP unreachable"});
}

TEST_F(SearchFlow, QueryAnsweredTwiceGivesANormalDuplicate) {
  form->SetSearchParameters(0x01, "Kavlor", {"", "", "", ""});
  lan->Respond("10.0.0.7", 9, QueryAnswer("A", "a"));
  lan->Respond("10.0.0.7", 9, QueryAnswer("A", "a"));
  echo->Answer("10.0.0.7");
  form->RunFullSearch(dialogs);
  EXPECT_EQ(Codes(), (std::vector<std::int32_t>{1, -2}));
}

TEST_F(SearchFlow, SingleAddressThatOnlyEchoesIsAnUnknownDevice) {
  echo->Answer("192.168.5.5");
  form->SearchAddress("192.168.5.5");
  EXPECT_EQ(Destinations().front(), "192.168.5.5:9");
  ASSERT_EQ(form->Table().Count(), 1u);
  EXPECT_EQ(Lines(222), std::vector<std::string>{"192.168.5.5  unknow module -    unknow device"});
  EXPECT_EQ(Lines(111), std::vector<std::string>{"192.168.5.5   unknow device"});
  EXPECT_EQ(form->Window().ProgressBar1.Position(), 100);

  lan->sent.clear();
  form->SearchAddress("192.168.5.5");
  for (const std::string& to : Destinations()) EXPECT_EQ(to.rfind("192.168.5.5:", 0), std::string::npos) << to;
  EXPECT_EQ(lan->sent.size(), 4u) << "only the fixed addresses are probed";
  form->SetSearchParameters(0x0B, "Kavlor", {"default", "default", "default", "default"});
  lan->sent.clear();
  form->SearchAddress("192.168.5.5");
  EXPECT_TRUE(lan->sent.empty());
  EXPECT_EQ(form->Table().Count(), 1u);
}

TEST_F(SearchFlow, SingleAddressCheckAddsNothingWhenTheTableHoldsSomethingOrNoEchoComes) {
  form->SearchAddress("192.168.5.6");
  EXPECT_EQ(form->Table().Count(), 0u);
  lan->Respond("192.168.5.7", 9, QueryAnswer("A", "a"));
  echo->Answer("192.168.5.8");
  form->SearchAddress("192.168.5.7");
  form->SearchAddress("192.168.5.8");
  EXPECT_EQ(Codes(), (std::vector<std::int32_t>{4})) << "code 6 only when nothing at all answered";
}

TEST_F(SearchFlow, FlagsSelectTheProbes) {
  struct Row {
    std::uint8_t flags;
    std::vector<std::string> expected;
  };
  const std::vector<Row> rows{
      {0x00, {}},
      {0x04, {}},
      {0x80, {}},
      {0x01, {"255.255.255.255:9"}},
      {0x0A, {"255.255.255.255:67", "255.255.255.255:69"}},
      {0x84, {"10.9.9.1:9", "10.9.9.3:9"}},
  };
  form->SetSearchParameters(0, "Kavlor", {"10.9.9.1", "", "10.9.9.3", ""});
  for (const Row& r : rows) {
    lan->sent.clear();
    form->SetSearchParameters(r.flags, "Kavlor", {"default", "default", "default", "default"});
    form->RunFullSearch(dialogs);
    EXPECT_EQ(Destinations(), r.expected) << int(r.flags);
    EXPECT_FALSE(form->Window().IsOpen());
  }
}

TEST_F(SearchFlow, OversizedOrEmptyAnswerEndsTheReadingForItsProbe) {
  form->SetSearchParameters(0x01, "Kavlor", {"", "", "", ""});
  lan->Respond("10.0.0.1", 9, QueryAnswer("A", "a"));
  lan->Respond("10.0.0.2", 9, Bytes(100, 'x'));
  lan->Respond("10.0.0.3", 9, QueryAnswer("C", "c"));
  form->RunFullSearch(dialogs);
  EXPECT_EQ(Lines(222), std::vector<std::string>{"10.0.0.1  A - a   normal IP unreachable"});

  auto empty = std::make_unique<FakeDatagramNetwork>();
  empty->Respond("10.0.0.4", 9, Bytes{});
  empty->Respond("10.0.0.5", 9, QueryAnswer("E", "e"));
  TRefreshForm other(loop, std::move(empty), std::make_unique<FakeEchoService>());
  other.SetSearchParameters(0x01, "", {"", "", "", ""});
  other.SearchAddress("255.255.255.255");
  EXPECT_EQ(other.Table().Count(), 0u);
}

TEST_F(SearchFlow, FilteredAnswersMoveTheProgressBarButAreNotFiled) {
  form->SetSearchParameters(0x08, "Kavlor", {"", "", "", ""});
  Bytes wrongTag(20, 0);
  Put(wrongTag, 0, "$Quelby");
  lan->Respond("10.0.0.1", 69, wrongTag);
  lan->Respond("10.0.0.2", 69, wrongTag);
  form->RunFullSearch(dialogs);
  EXPECT_EQ(form->Table().Count(), 0u);
  EXPECT_EQ(form->Window().ProgressBar1.Position(), 4);
  EXPECT_TRUE(echo->requests.empty()) << "ignored answers are not echoed";
}

TEST_F(SearchFlow, TableStopsAtSixtyFourEntriesAndLaterAnswersAreDropped) {
  form->SetSearchParameters(0x01, "Kavlor", {"", "", "", ""});
  for (int i = 1; i <= 70; ++i) lan->Respond("10.0.1." + std::to_string(i), 9, QueryAnswer("R", "I"));
  form->RunFullSearch(dialogs);
  EXPECT_EQ(form->Table().Count(), 64u);
  EXPECT_EQ(form->Table().Entries().back().address, "10.0.1.64");
  EXPECT_EQ(echo->requests.size(), 64u);
  EXPECT_EQ(form->Window().ProgressBar1.Position(), 100);
}

TEST_F(SearchFlow, EchoesUseTheSearchWindowsSettings) {
  form->SetSearchParameters(0x01, "Kavlor", {"", "", "", ""});
  lan->Respond("10.0.0.1", 9, QueryAnswer("A", "a"));
  form->RunFullSearch(dialogs);
  ASSERT_EQ(echo->EchoedAddresses(), std::vector<std::string>{"10.0.0.1"});
  EXPECT_EQ(echo->requests[0].payload.size(), 56u);
  EXPECT_EQ(echo->requests[0].timeoutMs, 150);
  EXPECT_EQ(echo->requests[0].ttl, 64);
  EXPECT_FALSE(echo->requests[0].dontFragment);
}

}  // namespace
}  // namespace fwu
