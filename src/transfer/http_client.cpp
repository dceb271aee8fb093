#include "transfer/http_client.h"

#include "transfer/transfer_view.h"

namespace fwu {

HttpClient::HttpClient(LinkDeadlines deadlines) : link_(deadlines) {}

HttpClient::~HttpClient() = default;

int HttpClient::SendRequest(std::string_view request, const std::string& address, std::uint16_t port) {
  if (link_.Open() < 0 || link_.Connect(address, port) < 0 ||
      link_.SendAll(request.data(), static_cast<std::int64_t>(request.size()), nullptr) < 0) {
    ResultText_ = link_.LastErrorText();
    return -1;
  }
  return 1;
}

std::int64_t HttpClient::ReceiveResponse(char* buffer, std::int64_t capacity, PeerEndpoint* peer) {
  const TcpLink::Received received = link_.ReceiveToBuffer(buffer, capacity);
  if (received.count < 0) {
    ResultText_ = link_.LastErrorText();
    return -1;
  }
  if (peer != nullptr) *peer = {received.peerAddress, received.peerPort};
  return received.count;
}

std::int64_t HttpClient::ReceiveResponseToFile(const std::string& fileName, std::int64_t expectedBody,
                                               PeerEndpoint* peer) {
  const TcpLink::Received received = link_.ReceiveToFile(fileName, view_, expectedBody);
  if (received.count < 0) {
    ResultText_ = link_.LastErrorText();
    return -1;
  }
  if (peer != nullptr) *peer = {received.peerAddress, received.peerPort};
  return received.count;
}

int HttpClient::FailWithLinkError() {
  view_->AddLine(link_.LastErrorText());
  ResultText_ = link_.LastErrorText();
  return -1;
}

int HttpClient::OpenAndConnect(const std::string& host, std::uint16_t port) {
  if (link_.Open() < 0) return FailWithLinkError();
  if (link_.Connect(host, port) < 0) {
    view_->AddLine(link_.LastErrorText());
    view_->SetStatus("Connect to router failure");
    ResultText_ = link_.LastErrorText();
    return -1;
  }
  view_->SetStatus("Connecting to router");
  return 1;
}

int HttpClient::GetRomFile(TransferView& view, const std::string& host, std::uint16_t port,
                           const std::string& fileName, const std::string& /*password*/,
                           std::int64_t /*romOffset*/, std::int64_t romLength, const std::string& romOffsetText,
                           const std::string& romLengthText) {
  // The request line was built in 64 bytes: longer range texts are refused
  // rather than sent cut.
  constexpr std::size_t kRequestCapacity = 64;
  const std::string request = "GET /config.bin?O=" + romOffsetText + "&L=" + romLengthText + " HTTP/1.1\r\n";
  view_ = &view;
  if (request.size() >= kRequestCapacity) {
    ResultText_ = "ROM range text too long";
    view.AddLine(ResultText_);
    return -1;
  }
  if (OpenAndConnect(host, port) < 0) return -1;
  view.ResetProgress(romLength);
  view.AddLine("Prepare to send get command: \n");
  view.AddLine(request);
  if (link_.SendAll(request.data(), static_cast<std::int64_t>(request.size()), nullptr) < 0) {
    return FailWithLinkError();
  }
  // Less data than asked for is no copy of the stretch the user wanted.
  if (ReceiveResponseToFile(fileName, romLength) < 0) return FailWithLinkError();
  view.AddLine("Get ROM file success in file : " + fileName);
  ResultText_ = "Get ROM file success";
  return 1;
}

}  // namespace fwu
