#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "app/http_worker.h"
#include "bundle/file_table.h"
#include "transfer/http_client.h"
#include "transfer/transfer_view.h"
#include "ui/window_thread_call.h"

namespace fwu {

class Dialogs;
class EventLoop;
class NoticePresenter;
struct MainWindowModels;

// Everything the HTTP worker needs from the main window. The models,
// dialogs and notice presenter are used on the window thread only (the
// worker reaches them through the window loop); the two atomics are shared.
struct HttpThreadContext {
  HttpThreadContext(EventLoop& loop, Dialogs& windowDialogs, MainWindowModels& windowModels,
                    NoticePresenter& noticePresenter, std::atomic<std::int16_t>& sharedStopCounter,
                    std::atomic<std::int16_t>& sharedUpgradeState)
      : windowLoop(loop),
        dialogs(windowDialogs),
        models(windowModels),
        notices(noticePresenter),
        stopCounter(sharedStopCounter),
        upgradeState(sharedUpgradeState) {}

  EventLoop& windowLoop;
  Dialogs& dialogs;
  MainWindowModels& models;
  NoticePresenter& notices;
  std::atomic<std::int16_t>& stopCounter;
  std::atomic<std::int16_t>& upgradeState;
  // A copy: the worker reads it while the window thread goes on.
  FileTable fileList;
  std::string selectedIP;
  std::string selectedROMID;
  int selectedType = 0;
  // The web port the login settled on.
  std::uint16_t port = 80;
  bool sectionIDCheck = false;
  std::string sectionList;
  bool interactive = false;
  bool factoryRelease = false;
  // Receives the section letters written, on the window thread.
  std::function<void(const std::string&)> setSectionResult;
  LinkDeadlines deadlines{};
};

// The HTTP upgrade on a thread of its own, so that the window's watchdog
// keeps ticking while files travel. Starts at once; runs UploadFiles once,
// leaves 122 (done) or 123 (failed) and then, after its message box was
// answered, 124 in StopCounter, and ends. Create one per HTTP attempt.
class THTTPThread final : public HttpWorker {
 public:
  explicit THTTPThread(HttpThreadContext context);
  // Window thread. Ends the connection, stops waiting for the window, and
  // waits for the worker, which then ends within moments. This is how the
  // controller asks the worker to terminate.
  ~THTTPThread() override;
  THTTPThread(const THTTPThread&) = delete;
  THTTPThread& operator=(const THTTPThread&) = delete;

  bool Finished() const override { return finished_; }

 private:
  void Execute();
  void ShowBox(const std::string& text, const std::string& caption);

  HttpThreadContext context_;
  WindowThreadChannel channel_;
  ModelTransferView windowView_;
  PostedTransferView workerView_;
  HttpClient client_;
  std::atomic<bool> finished_{false};
  std::thread thread_;
};

}  // namespace fwu
