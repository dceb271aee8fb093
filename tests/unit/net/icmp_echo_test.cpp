#include "net/icmp_echo.h"

#include <gtest/gtest.h>

#include "net/socket_exception.h"
#include "unit/net/fake_echo_service.h"

namespace fwu {
namespace {

using testing::FakeEchoService;

struct EchoFixture : ::testing::Test {
  FakeEchoService* service = nullptr;
  std::unique_ptr<TIcmpEcho> echo;
  std::vector<std::string> displayed;

  void SetUp() override {
    auto owned = std::make_unique<FakeEchoService>();
    service = owned.get();
    echo = std::make_unique<TIcmpEcho>(std::move(owned));
    echo->OnDisplay = [this](const std::string& text) { displayed.push_back(text); };
  }
};

TEST_F(EchoFixture, SameAddressTwiceIsResolvedOnceAndAChangeResolvesAgain) {
  service->names["router.lan"] = *ParseDottedIpv4("10.0.0.7");
  service->Answer("10.0.0.7");
  echo->SetAddress("router.lan");
  EXPECT_EQ(echo->Ping(), 1);
  echo->SetAddress("router.lan");
  EXPECT_EQ(echo->Ping(), 1);
  EXPECT_EQ(service->lookups.size(), 1u);
  EXPECT_EQ(echo->Address(), "router.lan") << "the text as set, not the resolved form";
  EXPECT_EQ(echo->HostIP(), "10.0.0.7");

  echo->SetAddress("10.0.0.8");
  EXPECT_EQ(echo->Ping(), 0);
  EXPECT_EQ(echo->LastError(), kIcmpRequestTimedOut);
  EXPECT_EQ(service->lookups.size(), 2u);
}

TEST_F(EchoFixture, UnresolvableNameSendsNothingAndIsTriedAgainNextTime) {
  echo->SetAddress("no-such-router");
  EXPECT_EQ(echo->Ping(), 0);
  EXPECT_TRUE(service->requests.empty());
  EXPECT_EQ(echo->LastError(), 11018);
  EXPECT_EQ(displayed, (std::vector<std::string>{"Unable to resolve no-such-router", "Invalid host address"}));
  service->names["no-such-router"] = *ParseDottedIpv4("10.0.0.9");
  service->Answer("10.0.0.9");
  EXPECT_EQ(echo->Ping(), 1) << "a failed lookup is not remembered as done";
}

TEST_F(EchoFixture, BroadcastAddressIsNeverEchoed) {
  echo->SetAddress("255.255.255.255");
  EXPECT_EQ(echo->Ping(), 0);
  EXPECT_TRUE(service->requests.empty());
  EXPECT_EQ(displayed, std::vector<std::string>{"Invalid host address"});
}

TEST_F(EchoFixture, RequestCarriesTheSettingsAndABlankPaddedPayload) {
  echo->SetAddress("10.0.0.1");
  echo->SetSize(56);
  echo->SetTimeout(150);
  echo->SetTTL(32);
  echo->SetFlags(0x02);
  echo->Ping();
  ASSERT_EQ(service->requests.size(), 1u);
  const EchoRequest r = service->requests[0];
  EXPECT_EQ(r.timeoutMs, 150);
  EXPECT_EQ(r.ttl, 32);
  EXPECT_TRUE(r.dontFragment);
  ASSERT_EQ(r.payload.size(), 56u);
  const std::string text(r.payload.begin(), r.payload.end());
  const auto textEnd = text.find("  ");
  ASSERT_NE(textEnd, std::string::npos);
  EXPECT_GT(textEnd, 0u) << "starts with an identification text";
  EXPECT_EQ(text.find_first_not_of(' ', textEnd), std::string::npos) << "blank padded";

  echo->SetSize(4);
  echo->SetFlags(0);
  echo->Ping();
  EXPECT_EQ(service->requests[1].payload, Bytes(r.payload.begin(), r.payload.begin() + 4)) << "text cut to Size";
  EXPECT_FALSE(service->requests[1].dontFragment);
}

TEST(IcmpEchoCreation, NoHandleStopsCreationWithItsText) {
  auto service = std::make_unique<FakeEchoService>();
  service->ready = false;
  try {
    TIcmpEcho echo(std::move(service));
    FAIL() << "creation must fail";
  } catch (const IcmpException& e) {
    EXPECT_STREQ(e.what(), "Unable to get ping handle");
  }
}

}  // namespace
}  // namespace fwu
