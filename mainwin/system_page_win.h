// The system page ("系统"): one picture with flat buttons over its labelled
// spots, each opening a special folder or tool.
#pragma once

#include <array>

#include "mainwin/page_win.h"
#include "platform/handles_win.h"

namespace zd {

class SystemPage : public Page {
 public:
  using Page::Page;
  // The page's sheet only: its picture and buttons are made the first time
  // it is shown (MakeControls), not at every start.
  void Create(HWND parent);
  void MakeControls();

  Label ImgZDPCControl;
  struct SpeedButton {
    Ui id;
    int left, top, width, height;  // design place over the picture's labelled spot
    Button button;
  };
  std::array<SpeedButton, 15> buttons{{
      {Ui::MyComputerButton, 8, 14, 98, 25, {}},
      {Ui::MyDocumentsButton, 107, 15, 101, 23, {}},
      {Ui::DesktopButton, 210, 14, 87, 23, {}},
      {Ui::RecycleBinButton, 299, 14, 105, 24, {}},
      {Ui::ControlPanelButton, 7, 44, 98, 24, {}},
      {Ui::HistoryButton, 106, 44, 94, 24, {}},
      {Ui::FavouritesFolderButton, 207, 45, 97, 24, {}},
      {Ui::NetworkButton, 305, 45, 104, 24, {}},
      {Ui::BtmManageTask, 7, 74, 96, 25, {}},
      {Ui::StartMenuButton, 107, 75, 91, 24, {}},
      {Ui::ProgramsButton, 204, 75, 96, 23, {}},
      {Ui::DesktopFolderButton, 302, 75, 108, 24, {}},
      {Ui::StartupFolderButton, 9, 106, 87, 22, {}},  // ends where the next begins
      {Ui::SystemFolderButton, 96, 107, 112, 22, {}},
      {Ui::BtnMoreSpecDir, 216, 106, 77, 23, {}},
  }};
  // Never shown; kept so the page has every button of its design.
  std::array<Button, 7> unused_buttons;

  const Button& Find(Ui id) const;

  bool OnMenuCommand(Ui entry) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  void Layout(int width, int height) override;

  void BtnMoreSpecDirClick();

 private:
  UniqueBitmap picture_;  // "ImgZDPCControl"
  bool made_ = false;
};

}  // namespace zd
