#include "ftp_server.h"

#include "ftp_session.h"

namespace fwu {
namespace {

// How often the serving thread looks whether the simulator is ending.
constexpr int kStopCheckMs = 200;

}  // namespace

FtpService::~FtpService() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();
}

std::string FtpService::Start(ServiceContext& context) {
  if (!ftp_.enabled) return {};
  if (!listener_.Listen(listenAddress_, ftp_.port)) return "listen TCP " + std::to_string(ftp_.port) + " failed";
  thread_ = std::thread([this, &record = context.record] { Serve(record); });
  return {};
}

void FtpService::Serve(Recorder& record) {
  int sequence = 0;
  while (!stopping_) {
    auto control = listener_.Accept(kStopCheckMs);
    if (!control) continue;
    FtpSession(std::move(*control), ftp_, web_, record, ++sequence, onUpgraded).Run();
  }
}

}  // namespace fwu
