#include "app/http_thread.h"

#include <exception>

#include "app/upgrade_codes.h"
#include "notice/message_file.h"
#include "notice/notice_presenter.h"
#include "ui/dialogs.h"
#include "ui/main_window_models.h"
#include "transfer/completion_codes.h"

namespace fwu {
namespace {

// The window's dialogs as the worker sees them: every call runs on the
// window thread, and the worker waits for its answer.
class WorkerDialogs final : public Dialogs {
 public:
  WorkerDialogs(WindowThreadChannel& channel, Dialogs& window) : channel_(channel), window_(window) {}

  DialogAnswer ShowMessage(const MessageRequest& request) override {
    return channel_.Call<DialogAnswer>([&window = window_, request] { return window.ShowMessage(request); },
                                       DefaultAnswer(request.buttons));
  }
  std::optional<std::vector<std::string>> ChooseFiles(const FileChooserRequest& request) override {
    return channel_.Call<std::optional<std::vector<std::string>>>(
        [&window = window_, request] { return window.ChooseFiles(request); }, std::nullopt);
  }
  void ShowModal(ModalWindowModel& modal) override {
    channel_.Call([&window = window_, &modal] { window.ShowModal(modal); });
  }

 private:
  WindowThreadChannel& channel_;
  Dialogs& window_;
};

// Notices met between two files: the worker decides, logging through its
// own view, and a notice that applies is shown by the window thread while
// the worker, and the open request, wait. The window thread gets its own
// copy of the notice: the watchdog may end the worker, and free what it
// owns, while the notice is on screen. A window that fails to show it is
// reported back here, so the scan shows its box and goes on.
class WorkerNotices final : public NoticePresenter {
 public:
  WorkerNotices(WindowThreadChannel& channel, NoticePresenter& window) : channel_(channel), window_(window) {}

  void Show(const MessageFile& notice) override {
    const bool shown = channel_.Call<bool>(
        [&window = window_, copy = notice] {
          try {
            window.Show(copy);
            return true;
          } catch (const std::exception&) {
            return false;
          }
        },
        true);
    if (!shown) throw NoticeError("the notice window could not be shown");
  }

 private:
  WindowThreadChannel& channel_;
  NoticePresenter& window_;
};

}  // namespace

THTTPThread::THTTPThread(HttpThreadContext context)
    : context_(std::move(context)),
      channel_(context_.windowLoop),
      windowView_(context_.models.Memo1, context_.models.StatusBar1, context_.models.ProgressBar1),
      workerView_(channel_, windowView_),
      client_(context_.deadlines),
      thread_([this] { Execute(); }) {}

THTTPThread::~THTTPThread() {
  channel_.Close();
  client_.Abort();
  if (thread_.joinable()) thread_.join();
}

void THTTPThread::ShowBox(const std::string& text, const std::string& caption) {
  WorkerDialogs(channel_, context_.dialogs).ShowMessage({text, caption});
}

void THTTPThread::Execute() {
  WorkerDialogs dialogs(channel_, context_.dialogs);
  WorkerNotices notices(channel_, context_.notices);
  const int result =
      client_.UploadFiles(context_.stopCounter, workerView_, context_.fileList, context_.selectedIP, context_.port,
                          context_.selectedROMID, context_.selectedType, notices, dialogs);
  const std::string resultText = client_.ResultText();
  if (result < 0) {
    context_.stopCounter = report::kHttpFailed;
    context_.upgradeState = state::kHttpFailed;
    ShowBox(resultText, "Failure");
  } else {
    context_.stopCounter = report::kHttpDone;
    context_.upgradeState = state::kHttpDone;
    const std::string section = client_.UpgradeSection();
    // Waited for, like everything below: the controller reads the section
    // letters as soon as it sees 124.
    channel_.Call([set = context_.setSectionResult, section] {
      if (set) set(section);
    });
    if (context_.sectionIDCheck && section != context_.sectionList) {
      ShowBox("Upgrade Not complete, please run this program again !", "Upgrade Warning");
    } else if (context_.interactive && !context_.factoryRelease) {
      ShowBox(resultText, "Success");
    }
    channel_.Call([&models = context_.models] { models.Upgrade.SetEnabled(true); });
  }
  channel_.Call([&models = context_.models, resultText] { models.StatusBar1.SetText(resultText); });
  context_.stopCounter = report::kHttpFinished;
  finished_ = true;
}

}  // namespace fwu
