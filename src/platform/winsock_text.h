#pragma once

namespace fwu {

// The English description of a Windows Sockets error number, ending in a
// full stop; nullptr for a number the table does not know.
const char* WinsockDescription(int number);

}  // namespace fwu
