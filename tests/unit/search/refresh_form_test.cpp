#include <atomic>
#include <thread>

#include "net/socket_exception.h"
#include "platform/poll_event_loop.h"
#include "unit/search/search_fixture.h"

namespace fwu {
namespace {

using namespace fwu::testing;

using RefreshForm = SearchFixture;

TEST_F(RefreshForm, StartsWithTheSearchDefaults) {
  EXPECT_EQ(form->Settings().romId, "Kavlor");
  EXPECT_EQ(form->Settings().flags, 159);
  EXPECT_EQ(form->Settings().searchIps,
            (std::array<std::string, 4>{"192.168.123.254", "192.168.2.1", "192.168.0.1", "192.168.1.254"}));
}

TEST_F(RefreshForm, SearchParametersKeepOnlyWhatIsMarkedToBeKept) {
  form->SetSearchParameters(0x19, "QRT101", {"default", "10.0.0.1", "", "default"});
  EXPECT_EQ(form->Settings().flags, 0x19);
  EXPECT_EQ(form->Settings().romId, "QRT101");
  EXPECT_EQ(form->Settings().searchIps, (std::array<std::string, 4>{"192.168.123.254", "10.0.0.1", "", "192.168.1.254"}));
  form->SetSearchParameters(255, "", {"default", "default", "default", "default"});
  EXPECT_EQ(form->Settings().flags, 0x19) << "255 keeps the flags";
  EXPECT_EQ(form->Settings().romId, "") << "an empty ROM ID replaces";
  EXPECT_EQ(form->Settings().searchIps[1], "10.0.0.1");
}

TEST_F(RefreshForm, SearchWindowShowsItsTextsAndClosesItselfAfterOneTick) {
  SearchWindowModel& window = form->Window();
  EXPECT_EQ(window.Caption(), "Searching for installed device(s)...");
  EXPECT_EQ(window.Label1.Text(), "Searching for installed device(s)");
  EXPECT_EQ(window.Label2.Text(), "Please Wait ...");
  EXPECT_EQ(window.Timer1.Interval(), 20);
  EXPECT_FALSE(window.Timer1.Enabled());

  form->SetSearchParameters(0x01, "Kavlor", {"", "", "", ""});
  form->RunFullSearch(dialogs);
  EXPECT_EQ(dialogs.ModalCaptions(), std::vector<std::string>{"Searching for installed device(s)..."});
  EXPECT_FALSE(window.IsOpen());
  EXPECT_FALSE(window.Timer1.Enabled());
  EXPECT_EQ(lan->sent.size(), 1u);
  loop.AdvanceMs(1000);
  EXPECT_EQ(lan->sent.size(), 1u) << "the timer fires once per activation";
}

TEST_F(RefreshForm, ActivationClearsTheTableAndResetsTheProgressBar) {
  form->SetSearchParameters(0x01, "Kavlor", {"", "", "", ""});
  lan->Respond("10.0.0.1", 9, QueryAnswer("A", "a"));
  form->RunFullSearch(dialogs);
  form->RunFullSearch(dialogs);
  EXPECT_EQ(form->Table().Count(), 1u) << "results do not accumulate across full searches";

  SearchWindowModel& window = form->Window();
  window.ProgressBar1.SetMax(50);
  window.Open();
  window.Activate();
  EXPECT_EQ(form->Table().Count(), 0u);
  EXPECT_EQ(window.ProgressBar1.Max(), 100);
  EXPECT_EQ(window.ProgressBar1.Position(), 0);
  EXPECT_TRUE(window.Timer1.Enabled());
  loop.AdvanceMs(19);
  EXPECT_EQ(lan->sent.size(), 2u);
  loop.AdvanceMs(1);
  EXPECT_EQ(lan->sent.size(), 3u);
}

TEST_F(RefreshForm, ShowSearchResultFillsTheListAndCount) {
  form->SetSearchParameters(0x08, "Kavlor", {"", "", "", ""});
  lan->Respond("10.0.0.9", 69, RecoveryAnswer());
  echo->Answer("10.0.0.9");
  list.AddItem("stale");
  form->RunFullSearch(dialogs);
  EXPECT_EQ(Lines(111), std::vector<std::string>{"10.0.0.9   crash"});
  EXPECT_EQ(list.Text(), "10.0.0.9   crash");
  EXPECT_EQ(status.Text(), "1 device found");

  form->ClearTable();
  EXPECT_TRUE(Lines(222).empty());
  EXPECT_EQ(list.Text(), "");
  EXPECT_EQ(status.Text(), "0 device found");
}

TEST_F(RefreshForm, LookupFindsTheFirstEntryWithExactlyThatAddress) {
  form->SetSearchParameters(0x03, "Kavlor", {"", "", "", ""});
  lan->Respond("10.0.0.1", 9, QueryAnswer("FIRST", "a"));
  lan->Respond("10.0.0.1", 67, BootAnswer("SECOND", "b"));
  form->RunFullSearch(dialogs);
  const auto entry = form->Lookup("10.0.0.1");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->romId, "FIRST");
  EXPECT_EQ(entry->status, 4);
  EXPECT_FALSE(form->Lookup("10.0.0.10"));
  EXPECT_FALSE(form->Lookup("10.0.0."));
}

TEST_F(RefreshForm, SocketFailureClosesTheWindowAndReachesTheCaller) {
  lan->failSendWith = 10051;
  try {
    form->RunFullSearch(dialogs);
    FAIL() << "the failure must reach the caller";
  } catch (const SocketException& e) {
    EXPECT_EQ(e.Code(), 10051);
    EXPECT_EQ(std::string(e.what()).rfind("Error 10051 in function Send", 0), 0u);
  }
  EXPECT_FALSE(form->Window().IsOpen());
  EXPECT_FALSE(form->Window().Timer1.Enabled());
  lan->failSendWith = 0;
  EXPECT_NO_THROW(form->RunFullSearch(dialogs)) << "the socket was left closed and usable";
  EXPECT_EQ(lan->sent.size(), 7u);
}

TEST_F(RefreshForm, PingUsesTheSameEchoComponent) {
  echo->Answer("10.0.0.1");
  EXPECT_TRUE(form->Ping("10.0.0.1"));
  EXPECT_FALSE(form->Ping("10.0.0.2"));
  EXPECT_EQ(echo->requests.back().timeoutMs, 150);
}

// On the real-time loop the window closes itself from inside a timer tick;
// the modal run must notice that instead of sleeping in poll for good.
TEST(RefreshFormOnRealTime, FullSearchWindowClosesAndTheModalRunReturns) {
  PollEventLoop loop;
  ScriptedDialogs dialogs(loop);
  TRefreshForm form(loop, std::make_unique<FakeDatagramNetwork>(), std::make_unique<FakeEchoService>());
  form.SetSearchParameters(0, "", {"", "", "", ""});
  std::atomic<bool> returned{false};
  std::thread watchdog([&] {
    for (int i = 0; i < 300 && !returned; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!returned) loop.Post([&loop] { loop.Quit(); });
  });
  form.RunFullSearch(dialogs);
  returned = true;
  EXPECT_FALSE(loop.QuitRequested()) << "the modal run only ended by the watchdog";
  EXPECT_FALSE(form.Window().IsOpen());
  watchdog.join();
}

}  // namespace
}  // namespace fwu
