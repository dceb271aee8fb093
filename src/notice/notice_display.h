#pragma once

namespace fwu {

class THintForm;

// How a view puts the notice window on screen: it shows the form and
// returns once the form has closed (by its countdown or by the user).
class NoticeDisplay {
 public:
  virtual ~NoticeDisplay() = default;
  virtual void ShowModal(THintForm& form) = 0;
};

}  // namespace fwu
