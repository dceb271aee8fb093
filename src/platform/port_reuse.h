#pragma once

namespace fwu {

// Lets a socket bind a local port that sockets before it still hold (a
// restarted server's lingering connections). Only where the system means
// that by it: Windows would also let another program take a port in use,
// and frees a closed port at once anyway, so there it does nothing.
void AllowPortReuse(int descriptor);

}  // namespace fwu
