#pragma once

#include <string>
#include <vector>

#include "ui/log_sink.h"
#include "ui/observable.h"

namespace fwu {

// State every visible control has. Models live on the window thread; other
// threads reach them only through EventLoop::Post.
class ControlModel : public Observable {
 public:
  bool Visible() const { return visible_; }
  bool Enabled() const { return enabled_; }
  void SetVisible(bool visible) { Change(visible_, visible); }
  void SetEnabled(bool enabled) { Change(enabled_, enabled); }

 protected:
  template <typename T>
  void Change(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Notify();
  }

 private:
  bool visible_ = true;
  bool enabled_ = true;
};

class ButtonModel : public ControlModel {
 public:
  explicit ButtonModel(std::string caption) : caption_(std::move(caption)) {}
  const std::string& Caption() const { return caption_; }

 private:
  std::string caption_;
};

class TextControlModel : public ControlModel {
 public:
  const std::string& Text() const { return text_; }
  void SetText(const std::string& text) { Change(text_, text); }

 private:
  std::string text_;
};

class LabelModel : public TextControlModel {
 public:
  explicit LabelModel(const std::string& text) { SetText(text); }
};

// A single-line edit. MaxLength limits what the user types (0: no limit);
// the program itself may set longer text, as the original controls allowed.
class EditModel : public TextControlModel {
 public:
  EditModel(int maxLength, bool masked) : maxLength_(maxLength), masked_(masked) {}
  int MaxLength() const { return maxLength_; }
  bool Masked() const { return masked_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { Change(readOnly_, readOnly); }

 private:
  int maxLength_;
  bool masked_;
  bool readOnly_ = false;
};

// Drop-down list that also accepts typed text. A sorted list keeps its items
// in byte order whatever order they are added in.
class ComboBoxModel : public TextControlModel {
 public:
  explicit ComboBoxModel(bool sorted) : sorted_(sorted) {}
  const std::vector<std::string>& Items() const { return items_; }
  void ClearItems();
  void AddItem(const std::string& item);

 private:
  bool sorted_;
  std::vector<std::string> items_;
};

class MemoModel : public ControlModel, public LogSink {
 public:
  const std::vector<std::string>& Lines() const { return lines_; }
  void AddLine(const std::string& line) override;
  void Clear();

 private:
  std::vector<std::string> lines_;
};

class ProgressBarModel : public ControlModel {
 public:
  int Max() const { return max_; }
  int Position() const { return position_; }
  void SetMax(int max) { Change(max_, max); }
  void SetPosition(int position) { Change(position_, position); }

 private:
  int max_ = 100;
  int position_ = 0;
};

class StatusBarModel : public TextControlModel {};

class GroupModel : public ControlModel {
 public:
  GroupModel(std::string caption, int height) : caption_(std::move(caption)), height_(height) {}
  const std::string& Caption() const { return caption_; }
  int Height() const { return height_; }

 private:
  std::string caption_;
  int height_;
};

class WindowModel : public ControlModel {
 public:
  WindowModel(std::string caption, int width, int height)
      : caption_(std::move(caption)), width_(width), height_(height) {}
  const std::string& Caption() const { return caption_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetCaption(const std::string& caption) { Change(caption_, caption); }
  void SetHeight(int height) { Change(height_, height); }

 private:
  std::string caption_;
  int width_;
  int height_;
};

}  // namespace fwu
