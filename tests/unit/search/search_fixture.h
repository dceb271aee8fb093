#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/manual_event_loop.h"
#include "search/refresh_form.h"
#include "ui/controls.h"
#include "ui/scripted_dialogs.h"
#include "unit/net/fake_datagram_network.h"
#include "unit/net/fake_echo_service.h"
#include "unit/search/answer_builders.h"

namespace fwu::testing {

// The search window on virtual time, a scripted LAN and scripted echoes.
struct SearchFixture : ::testing::Test {
  ManualEventLoop loop;
  FakeDatagramNetwork* lan = nullptr;
  FakeEchoService* echo = nullptr;
  std::unique_ptr<TRefreshForm> form;
  ScriptedDialogs dialogs{loop};
  ComboBoxModel list{false};
  StatusBarModel status;

  void SetUp() override {
    auto network = std::make_unique<FakeDatagramNetwork>();
    auto echoes = std::make_unique<FakeEchoService>();
    lan = network.get();
    echo = echoes.get();
    form = std::make_unique<TRefreshForm>(loop, std::move(network), std::move(echoes));
  }

  std::vector<std::string> Lines(int detail) {
    form->ShowSearchResult(list, status, detail);
    return list.Items();
  }
  std::vector<std::int32_t> Codes() const {
    std::vector<std::int32_t> codes;
    for (const DeviceEntry& e : form->Table().Entries()) codes.push_back(e.status);
    return codes;
  }
  // Where each probe went, as "address:port".
  std::vector<std::string> Destinations() const {
    std::vector<std::string> out;
    for (const auto& s : lan->sent) out.push_back(FormatDottedIpv4(s.to.address) + ":" + std::to_string(s.to.port));
    return out;
  }
};

}  // namespace fwu::testing
