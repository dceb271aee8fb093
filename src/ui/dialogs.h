#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/modal_window_model.h"

namespace fwu {

enum class ButtonSet { Ok, OkCancel, YesNoCancel, Yes };
enum class DialogAnswer { Ok, Cancel, Yes, No };
// Plain message boxes carry no icon; the "warning" and "error" dialogs do.
enum class BoxKind { Message, Warning, Error };

// Boxes whose caption the program leaves to the system show the
// application's title instead.
inline constexpr const char* kSystemDefaultCaption = "fwupgrade";

struct MessageRequest {
  std::string text;
  std::string caption = kSystemDefaultCaption;
  ButtonSet buttons = ButtonSet::Ok;
  BoxKind kind = BoxKind::Message;
};

struct FileChooserRequest {
  std::string filter;  // "(Label)|pattern|(Label)|pattern..." pairs
  bool multiSelect = false;
  bool mustExist = false;
  bool resizable = false;
};

// What the program asks of its user. Views implement it; tests script it.
// Called on the window thread only.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual DialogAnswer ShowMessage(const MessageRequest& request) = 0;
  // The chosen files in the chooser's order, or nothing when cancelled.
  virtual std::optional<std::vector<std::string>> ChooseFiles(const FileChooserRequest& request) = 0;
  // Shows the window, activates it, and returns once it has closed itself.
  virtual void ShowModal(ModalWindowModel& window) = 0;
};

// The button a box answers with when nobody chooses: its first one.
DialogAnswer DefaultAnswer(ButtonSet buttons);

}  // namespace fwu
