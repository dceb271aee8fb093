#include "platform/port_reuse.h"

#include <sys/socket.h>

namespace fwu {

void AllowPortReuse(int descriptor) {
  const int on = 1;
  setsockopt(descriptor, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
}

}  // namespace fwu
