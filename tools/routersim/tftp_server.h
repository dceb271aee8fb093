#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>

#include "platform/bytes.h"
#include "router_service.h"

namespace fwu {

class SwitchTable;
struct Datagram;

// What the boot loader sends: an acknowledgement of a block, or an error.
Bytes TftpAcknowledgement(int block);
Bytes TftpErrorPacket(int code, const std::string& text);

struct TftpSettings {
  std::string refusedName;             // "*" refuses every file
  int failAtBlock = -1;                // an error packet instead of this block's acknowledgement
  std::set<int> lostAcks;              // acknowledgements not sent, the first time only
  std::set<int> repeatedAcks;          // acknowledgements sent twice
  std::int64_t paceMs = 0;             // each answer this long after what it answers
  bool closedSessionError = false;     // a closed file's last block again: error 5, not its acknowledgement

  void AddSwitches(SwitchTable& table);
};

// A crashed router's boot loader on UDP 69: write requests in octet mode,
// each block acknowledged to the sender's address and port, images stored
// and recorded, and the read request for "R!" taken as the order to reboot.
// After the reboot it is a running router: no boot loader answers any more.
class TftpService final : public RouterService {
 public:
  // storeDir empty: images are counted, not kept. active: the router starts
  // crashed, so its boot loader listens.
  TftpService(const TftpSettings& settings, std::string storeDir, bool active)
      : settings_(settings), storeDir_(std::move(storeDir)), active_(active) {}
  std::string Start(ServiceContext& context) override;

  // Called at the order to reboot.
  std::function<void()> onReboot;

 private:
  bool OnDatagram(const Datagram& datagram);
  void OnWriteRequest(const Datagram& datagram, const std::string& name, const std::string& mode);
  void OnData(const Datagram& datagram, int block);
  void Reboot(const Datagram& datagram);
  void Acknowledge(int block);
  void SendError(const Datagram& datagram, int code, const std::string& text);
  void Send(const Bytes& packet);
  // To address:port, after the pace.
  void Answer(const Bytes& packet, const std::string& address, std::uint16_t port);
  std::string Peer(const Datagram& datagram) const;

  TftpSettings settings_;
  std::string storeDir_;
  bool active_;
  ServiceContext* context_ = nullptr;
  // The transfer under way (one at a time, as in a boot loader), kept after
  // its end so that a repeated last block is acknowledged again.
  std::string peerAddress_;
  std::uint16_t peerPort_ = 0;
  std::string name_;
  Bytes image_;
  int expected_ = 0;  // the next block; 0 when nothing is being received
  int lastBlock_ = -1;
  int stored_ = 0;
};

}  // namespace fwu
