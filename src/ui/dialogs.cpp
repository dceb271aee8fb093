#include "ui/dialogs.h"

namespace fwu {

DialogAnswer DefaultAnswer(ButtonSet buttons) {
  switch (buttons) {
    case ButtonSet::Ok:
    case ButtonSet::OkCancel:
      return DialogAnswer::Ok;
    case ButtonSet::YesNoCancel:
    case ButtonSet::Yes:
      return DialogAnswer::Yes;
  }
  return DialogAnswer::Ok;
}

}  // namespace fwu
