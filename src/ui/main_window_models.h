#pragma once

#include "ui/controls.h"

namespace fwu {

// The main window as data: every control of the upgrade window, top to
// bottom, under the names the window's code uses. Views draw these; the
// application changes them on the window thread only.
struct MainWindowModels {
  static constexpr int kDesignWidth = 344;
  static constexpr int kDesignHeight = 378;
  static constexpr int kGroupWidth = 345;
  static constexpr const char* kCaption = "Firmware Upgrade  V1.1.1";

  MainWindowModels();

  WindowModel window{kCaption, kDesignWidth, kDesignHeight};

  GroupModel SearchGroup{"", 57};
  LabelModel searchLabel{"Select one device. Or you can input IP manually :"};
  ComboBoxModel IPComBox{true};
  ButtonModel IPReFresh{"Refresh"};

  GroupModel PasswordGroup{"", 41};
  LabelModel passwordLabel{"Password"};
  EditModel PasswordComBox{9, true};
  LabelModel passwordInfo{""};

  GroupModel UpgreadFileGroup{"", 57};
  LabelModel fileLabel{"Select Update File by yourself"};
  EditModel UpdateFileName{0, false};
  ButtonModel Browse{"Browse"};

  GroupModel ToolGroup{"", 41};
  ButtonModel Upgrade{"Upgrade"};
  ButtonModel Exit{"Exit"};

  GroupModel ProgressGroup{"", 25};
  ProgressBarModel ProgressBar1;

  GroupModel GSystemLog{"System Log", 137};
  MemoModel Memo1;

  StatusBarModel StatusBar1;
};

}  // namespace fwu
