#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "notice/notice_presenter.h"

namespace fwu {

class LogSink;
struct MessageFile;

// The maker's mark: a notice for the start-up menu that asks for a name
// check is shown only when its MessageName begins with it.
inline constexpr std::string_view MakerCode = "QUOR";

// Whether the notice concerns this run, from the context it is offered in,
// its attribute word, the header's audience flags and the chosen router's
// ROM ID. Writes why a transfer's notice is not shown to `log` when one is
// given. `path` is the notice's temporary copy (its file name is what the
// ROM ID is checked against); empty in the menu context.
bool ProcessMessageAttribute(const MessageFile& notice, LogSink* log, std::uint16_t attribute,
                             NoticeContext context, const std::string& selectedRomId, const std::string& path);

}  // namespace fwu
