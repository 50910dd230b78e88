// The trees rebuilt after a deletion, in the real window with the real image
// list: program icons are not read again, the list does not grow, and
// emptying the history cuts it back to its built-in pictures.
#include <windows.h>
// windows.h must come first
#include <commctrl.h>
#include <gtest/gtest.h>
#include <psapi.h>

#include <iostream>
#include <string>
#include <vector>

#include "mainwin/main_window_win.h"
#include "tests/win/main_window_fixture.h"

namespace zd {
namespace {

SIZE_T PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof(counters));
  return counters.PrivateUsage;
}

std::string Folder(UINT (*get)(LPWSTR, UINT)) {
  wchar_t path[MAX_PATH] = {};
  get(path, MAX_PATH);
  return WideToUtf8(path);
}

class TreeRebuildTest : public MainWindowFixture {};

TEST_F(TreeRebuildTest, FiftyRebuildsOfThreeHundredProgramsLeaveTheImageListAsItWas) {
  // 300 programs with icons of their own: three real files, each named in
  // 100 spellings ("\.\" repeated), which are 100 documents to the history.
  const std::string files[] = {Folder(GetSystemDirectoryW) + "|notepad.exe",
                               Folder(GetWindowsDirectoryW) + "|regedit.exe",
                               Folder(GetSystemDirectoryW) + "|cmd.exe"};
  for (const std::string& file : files) {
    const size_t bar = file.find('|');
    std::string dots;
    for (int i = 0; i < 100; ++i, dots += "\\.") {
      const std::string path = file.substr(0, bar) + dots + "\\" + file.substr(bar + 1);
      windows_.AddWindow("Program " + std::to_string(windows_.windows().size()), path);
    }
  }
  TFrmMain& form = OpenLoaded();
  TLauncherPage& l = form.launcher();
  Choose(Ui::MnRefresh);
  Pump();
  ASSERT_EQ(form.store().docs.size(), 300u);
  const HIMAGELIST images = l.tree_images()->handle();
  ASSERT_NE(images, nullptr);
  const int count = ImageList_GetImageCount(images);
  EXPECT_EQ(count, 11 + 300);

  const SIZE_T memory_before = PrivateBytes();
  form.SetActivePage(1);
  for (int rebuild = 0; rebuild < 50; ++rebuild) {
    l.tv_app.Select(
        l.tv_app.roots()[static_cast<size_t>(rebuild * 3) % l.tv_app.roots().size()].get());
    Choose(Ui::MnDeleteSelected);
  }
  Pump();
  const SIZE_T memory_after = PrivateBytes();
  EXPECT_EQ(form.store().docs.size(), 250u);
  EXPECT_EQ(ImageList_GetImageCount(images), count) << "no icon read again";
  // Each kept program shows the icon it had: the same picture index as before.
  for (const TMyDoc& doc : form.store().docs) {
    const TreeNode* node = l.tv_app.FindNodeByText(doc.name, false);
    ASSERT_NE(node, nullptr) << doc.name;
    EXPECT_EQ(node->image, doc.image);
    EXPECT_GE(doc.image, 11);
  }
  std::cout << "[ measured ] 50 rebuilds of 300 programs: image count " << count << " -> "
            << ImageList_GetImageCount(images) << ", private bytes " << memory_before << " -> "
            << memory_after << " ("
            << (static_cast<long long>(memory_after) - static_cast<long long>(memory_before)) / 1024
            << " KiB)" << std::endl;

  // Emptying the history: back to the built-in pictures; new icons from 11.
  answer_ = IDYES;
  Choose(Ui::MnDeleteAllDocs);
  EXPECT_EQ(ImageList_GetImageCount(images), 11);
  Choose(Ui::MnRefresh);
  Pump();
  EXPECT_EQ(ImageList_GetImageCount(images), 11 + 300);
}

}  // namespace
}  // namespace zd
