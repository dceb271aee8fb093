#pragma once

namespace fwu::control_id {

// The main window's child control identifiers, so that GetDlgItem finds
// each control by its name's number (the view's tests read them back).
enum : int {
  SearchGroup = 100,
  searchLabel,
  IPComBox,
  IPReFresh,
  PasswordGroup,
  passwordLabel,
  PasswordComBox,
  passwordInfo,
  UpgreadFileGroup,
  fileLabel,
  UpdateFileName,
  Browse,
  ToolGroup,
  Upgrade,
  Exit,
  ProgressGroup,
  ProgressBar1,
  GSystemLog,
  Memo1,
  StatusBar1,
};

// The search dialog's.
enum : int { Label1 = 200, Label2, SearchProgressBar1 };

// The notice window's rich-text view.
enum : int { RichEdit1 = 300 };

}  // namespace fwu::control_id
