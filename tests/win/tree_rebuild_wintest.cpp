// The trees rebuilt after a deletion, in the real window with the real image
// list: program icons are not read again, the list does not grow, and
// emptying the history cuts it back to its built-in pictures. (The bench
// tree_rebuild_gui_bench_win measures 50 rebuilds of 300 programs.)
#include <windows.h>
// windows.h must come first
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mainwin/main_window_win.h"
#include "platform/wide_win.h"
#include "tests/win/main_window_fixture.h"

namespace zd {
namespace {

std::string Folder(UINT(WINAPI* get)(LPWSTR, UINT)) {
  wchar_t path[MAX_PATH] = {};
  get(path, MAX_PATH);
  return WideToUtf8(path);
}

class TreeRebuildTest : public MainWindowFixture {};

TEST_F(TreeRebuildTest, RebuildsLeaveTheImageListAsItWasAndEmptyingCutsItBack) {
  // 30 programs with icons of their own: three real files, each named in 10
  // spellings ("\.\" repeated), which are 10 documents to the history.
  const std::string files[] = {Folder(GetSystemDirectoryW) + "|notepad.exe",
                               Folder(GetWindowsDirectoryW) + "|regedit.exe",
                               Folder(GetSystemDirectoryW) + "|cmd.exe"};
  for (const std::string& file : files) {
    const size_t bar = file.find('|');
    std::string dots;
    for (int i = 0; i < 10; ++i, dots += "\\.") {
      const std::string path = file.substr(0, bar) + dots + "\\" + file.substr(bar + 1);
      windows_.AddWindow("Program " + std::to_string(windows_.windows().size()), path);
    }
  }
  TFrmMain& form = OpenLoaded();
  TLauncherPage& l = form.launcher();
  Choose(Ui::MnRefresh);
  Pump();
  ASSERT_EQ(form.store().docs.size(), 30u);
  const HIMAGELIST images = l.tree_images()->handle();
  ASSERT_NE(images, nullptr);
  const int count = ImageList_GetImageCount(images);
  EXPECT_EQ(count, 11 + 30);

  form.SetActivePage(1);
  for (int rebuild = 0; rebuild < 10; ++rebuild) {
    l.tv_app.Select(
        l.tv_app.roots()[static_cast<size_t>(rebuild * 3) % l.tv_app.roots().size()].get());
    Choose(Ui::MnDeleteSelected);
  }
  Pump();
  EXPECT_EQ(form.store().docs.size(), 20u);
  EXPECT_EQ(ImageList_GetImageCount(images), count) << "no icon read again";
  // Each kept program shows the icon it had: the same picture index as before.
  for (const TMyDoc& doc : form.store().docs) {
    const TreeNode* node = l.tv_app.FindNodeByText(doc.name, false);
    ASSERT_NE(node, nullptr) << doc.name;
    EXPECT_EQ(node->image, doc.image);
    EXPECT_GE(doc.image, 11);
  }
  // Emptying the history: back to the built-in pictures; new icons from 11.
  answer_ = IDYES;
  Choose(Ui::MnDeleteAllDocs);
  EXPECT_EQ(ImageList_GetImageCount(images), 11);
  Choose(Ui::MnRefresh);
  Pump();
  EXPECT_EQ(ImageList_GetImageCount(images), 11 + 30);
}

}  // namespace
}  // namespace zd
