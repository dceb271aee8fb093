#include "platform/console_streams.h"

namespace fwu {

struct UnicodeConsole::Streams {};

UnicodeConsole::UnicodeConsole() = default;
UnicodeConsole::~UnicodeConsole() = default;

}  // namespace fwu
