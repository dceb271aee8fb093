#pragma once

#include <cstdint>
#include <string>

#include "ui/log_sink.h"

namespace fwu {

class ProgressBarModel;
class StatusBarModel;
class WindowThreadChannel;

// The progress bar as the socket layer sees it: bytes moved.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void AdvanceProgress(std::int64_t bytes) = 0;
};

// The three window controls a transfer reports to: the log pane, the status
// line and the progress bar.
class TransferView : public LogSink, public ProgressSink {
 public:
  virtual void SetStatus(const std::string& text) = 0;
  // New maximum, position back to 0.
  virtual void ResetProgress(std::int64_t maximum) = 0;
};

// Writes straight into the models: for transfers on the window thread.
class ModelTransferView final : public TransferView {
 public:
  ModelTransferView(LogSink& log, StatusBarModel& status, ProgressBarModel& progress)
      : log_(log), status_(status), progress_(progress) {}

  void AddLine(const std::string& line) override;
  void AdvanceProgress(std::int64_t bytes) override;
  void SetStatus(const std::string& text) override;
  void ResetProgress(std::int64_t maximum) override;

 private:
  LogSink& log_;
  StatusBarModel& status_;
  ProgressBarModel& progress_;
};

// Hands every report to the window thread: for the worker thread, which
// must not touch the models itself. Reports keep their order.
class PostedTransferView final : public TransferView {
 public:
  PostedTransferView(WindowThreadChannel& channel, TransferView& windowView)
      : channel_(channel), windowView_(windowView) {}

  void AddLine(const std::string& line) override;
  void AdvanceProgress(std::int64_t bytes) override;
  void SetStatus(const std::string& text) override;
  void ResetProgress(std::int64_t maximum) override;

 private:
  WindowThreadChannel& channel_;
  TransferView& windowView_;
};

}  // namespace fwu
