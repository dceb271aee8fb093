// A message file as the notice window takes it: decided in every context
// and for every check-bit combination, then shown on a virtual clock.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_check.h"
#include "notice/hint_form.h"
#include "notice/notice_decision.h"
#include "platform/manual_event_loop.h"
#include "ui/controls.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = fwu::MessageFile::Parse(std::span(data, size));
  if (!file) return 0;
  for (const fwu::NoticeContext context :
       {fwu::NoticeContext::Menu, fwu::NoticeContext::Transfer, fwu::NoticeContext::Tftp}) {
    for (std::uint16_t check = 0; check < 4; ++check) {
      fwu::MemoModel log;
      const bool shown = fwu::ProcessMessageAttribute(*file, &log, static_cast<std::uint16_t>(0x0400 | check),
                                                      context, "R1", "/tmp/R1notice.tmp");
      // A refusal writes its two lines; a notice shown, or one at the start, none.
      const std::size_t lines = log.Lines().size();
      FUZZ_CHECK(lines == 0 || (lines == 2 && !shown && context != fwu::NoticeContext::Menu));
      if (check == 0) FUZZ_CHECK(!shown);
    }
  }
  fwu::ManualEventLoop loop;
  fwu::THintForm form(loop, *file);
  form.Open();
  loop.AdvanceMs(8100);  // the longest display time's (80 + 1) ticks
  FUZZ_CHECK(form.IsOpen() == (file->EffectiveDisplayTime() == 0));
  FUZZ_CHECK(!form.CountdownRunning() && !form.BlinkRunning());
  FUZZ_CHECK(form.TextVisible() || file->noBlink == 0);
  return 0;
}
