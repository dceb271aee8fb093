#pragma once

#include <string>

namespace fwu {

class EventLoop;
class Recorder;
class UdpHub;

// What every service of the simulated router shares: one loop, the UDP ports
// (several services may listen on one port, e.g. discovery and TFTP on 69),
// and the record of what arrived.
struct ServiceContext {
  EventLoop& loop;
  UdpHub& udp;
  Recorder& record;
};

// One protocol of the router (discovery, web, ...). Services are created from
// their parsed switches, then started once before the loop runs.
class RouterService {
 public:
  virtual ~RouterService() = default;
  // Opens the service's sockets. Returns an error text, empty on success.
  virtual std::string Start(ServiceContext& context) = 0;
};

}  // namespace fwu
