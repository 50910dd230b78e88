// The uninstall window's decisions on fakes: elevation when the machine's part
// cannot be written, an exact report when it still cannot, and success only
// when everything went.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "lang/lang_tables.h"
#include "lang/service_texts.h"
#include "platform/fake_file_removal.h"
#include "platform/fake_files.h"
#include "platform/fake_processes.h"
#include "platform/fake_registry_keys.h"
#include "platform/fake_shell_folders.h"
#include "platform/registry.h"
#include "platform/wide_win.h"
#include "tests/win/helper_process.h"
#include "tests/win/window_input.h"
#include "uninstall/self_delete.h"
#include "uninstall/uninstall_window_win.h"

namespace zd {
namespace {

constexpr char kExe[] = "C:\\Program Files\\MRX软件\\Zapdock\\zapdock.exe";
constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zapdock";

class UninstallWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    folders_.folders[UserFolder::kDesktop] = "C:\\Users\\me\\Desktop";
    folders_.folders[UserFolder::kPrograms] = "C:\\Users\\me\\Programs";
    removal_.AddFolder("C:\\Users\\me\\Desktop\\MRX软件");
    removal_.AddFile("C:\\Users\\me\\Desktop\\MRX软件\\Zapdock.lnk");
    removal_.AddFolder("C:\\Program Files\\MRX软件\\Zapdock");
    removal_.AddFile(kExe);
    removal_.AddFile("C:\\Program Files\\MRX软件\\Zapdock\\defualt.ini");
    registry_.SetValue(RegRoot::kLocalMachine, kUninstallKey, "UninstallString");
    registry_.SetValue(RegRoot::kCurrentUser, kRunKey, "MRXZapdock");
    files_.AddDrive("C:\\", DriveKind::kFixed);
    files_.AddDirectory(folders_.temp);
    files_.AddDirectory(folders_.system_temp);
    files_.SetSystemDirectory("C:\\windows\\system32");
  }
  UninstallWindow& Open(bool elevated_start = false, const std::wstring& running_class = L"",
                        int close_wait_ms = 15000) {
    UninstallDeps deps;
    deps.main_window_class = running_class;
    deps.close_wait_ms = close_wait_ms;
    deps.registry = &registry_;
    deps.removal = &removal_;
    deps.folders = &folders_;
    deps.files = &files_;
    deps.processes = &processes_;
    deps.context = {kExe, "Zapdock", "VAROV", "MRXZapdock"};
    deps.elevated_start = elevated_start;
    deps.oem_code_page = 936;
    deps.message_box = [this](HWND, const std::string& text, const std::string&, UINT) {
      boxes_.push_back(text);
      return IDOK;
    };
    deps.exit_process = [this] { ++exits_; };
    deps.home_page = "https://home.example/";
    form_ = UninstallWindow::Create(deps);
    EXPECT_NE(form_, nullptr);
    return *form_;
  }
  void TearDown() override {
    form_.reset();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  FakeRegistryKeys registry_;
  FakeFileRemoval removal_;
  FakeShellFolders folders_;
  FakeFiles files_;
  FakeProcesses processes_;
  std::unique_ptr<UninstallWindow> form_;
  std::vector<std::string> boxes_;
  int exits_ = 0;
  const lang::ServiceTexts& texts_ = lang::ServiceTextsFor(0);
};

TEST_F(UninstallWindowTest, EverythingRemovedMeansTheMessageTheScriptAndTheEnd) {
  UninstallWindow& form = Open();
  form.BtnStartUnstallClick();
  EXPECT_EQ(form.outcome(), UninstallWindow::Outcome::kRemoved);
  EXPECT_EQ(boxes_, std::vector<std::string>{"你已成功卸载『Zapdock』"});
  ASSERT_EQ(processes_.started().size(), 1u);
  EXPECT_EQ(processes_.started()[0].application, "C:\\windows\\system32\\cmd.exe");
  // Elevated: the script lies in a folder made for it in the Windows folder's
  // temporary folder, and runs from the system folder.
  ASSERT_EQ(folders_.private_folders.size(), 1u);
  EXPECT_EQ(folders_.private_folders.begin()->rfind(folders_.system_temp, 0), 0u);
  EXPECT_NE(
      processes_.started()[0].command_line.find(*folders_.private_folders.begin() + kScriptName),
      std::string::npos);
  EXPECT_EQ(processes_.started()[0].directory, "C:\\windows\\system32");
  EXPECT_EQ(exits_, 1);
  EXPECT_FALSE(registry_.KeyExists(RegRoot::kLocalMachine, kUninstallKey));
}

TEST_F(UninstallWindowTest, ANonAdministratorRelaunchesElevatedAfterItsOwnPart) {
  processes_.elevated = false;
  removal_.Protect("C:\\Program Files\\MRX软件\\Zapdock\\");
  registry_.Protect(RegRoot::kLocalMachine, kUninstallKey);
  UninstallWindow& form = Open();
  form.BtnStartUnstallClick();
  EXPECT_EQ(form.outcome(), UninstallWindow::Outcome::kRelaunched);
  ASSERT_EQ(processes_.started().size(), 1u);
  EXPECT_EQ(processes_.started()[0].file, kExe);
  EXPECT_EQ(processes_.started()[0].verb, "runas");
  EXPECT_EQ(processes_.started()[0].parameters, "uninstall --elevated");
  EXPECT_TRUE(boxes_.empty()) << "the elevated copy speaks";
  EXPECT_FALSE(removal_.Exists("C:\\Users\\me\\Desktop\\MRX软件\\Zapdock.lnk"));
  EXPECT_FALSE(registry_.HasValue(RegRoot::kCurrentUser, kRunKey, "MRXZapdock"));
  EXPECT_TRUE(registry_.KeyExists(RegRoot::kLocalMachine, kUninstallKey));
  EXPECT_EQ(exits_, 0);
}

TEST_F(UninstallWindowTest, WhatStillCannotGoIsNamedAndTheProgramStays) {
  // Elevation declined (or already tried): the report names each failure.
  processes_.elevated = false;
  registry_.Protect(RegRoot::kLocalMachine, kUninstallKey);
  removal_.Protect("C:\\Program Files\\MRX软件\\Zapdock\\defualt.ini");
  UninstallWindow& form = Open(/*elevated_start=*/true);
  form.BtnStartUnstallClick();
  EXPECT_EQ(form.outcome(), UninstallWindow::Outcome::kIncomplete);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0],
            lang::FormatText(texts_.UninstallIncomplete,
                             std::string("HKLM\\") + kUninstallKey +
                                 "\nC:\\Program Files\\MRX软件\\Zapdock\\defualt.ini\n"));
  EXPECT_TRUE(processes_.started().empty()) << "no script: the program stays to try again";
  EXPECT_EQ(exits_, 0);
  EXPECT_TRUE(IsWindow(form.hwnd()));
}

TEST_F(UninstallWindowTest, NoScriptNoClaimThatTheFolderWillGo) {
  folders_.write_fails = true;
  UninstallWindow& form = Open();
  form.BtnStartUnstallClick();
  EXPECT_EQ(form.outcome(), UninstallWindow::Outcome::kNoScript);
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(boxes_[1],
            lang::FormatText(texts_.UninstallNoScript, "C:\\Program Files\\MRX软件\\Zapdock\\"));
  EXPECT_EQ(exits_, 0);
}

// A running copy that does not close: the window keeps answering while it
// waits, gives up after its bound and says so, and removes nothing.
TEST_F(UninstallWindowTest, ItKeepsAnsweringWhileARunningCopyDoesNotClose) {
  HelperProcess running({L"busy:zd running copy"});
  ASSERT_NE(running.Window(L"zd running copy"), nullptr);
  UninstallWindow& form = Open(false, kHelperClass, 2500);
  const HWND window = form.hwnd();
  std::atomic<int> asked{0}, answered{0};
  std::atomic<bool> stop{false}, stopped{false};
  std::thread prober([&] {
    while (!stop) {
      DWORD_PTR result = 0;
      ++asked;
      if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 400, &result)) ++answered;
      Sleep(100);
    }
    stopped = true;
  });
  form.BtnStartUnstall.PostClick();
  const ULONGLONG start = GetTickCount64();
  bool saw_waiting = false;
  while (GetTickCount64() - start < 10000 &&
         form.outcome() != UninstallWindow::Outcome::kStillRunning) {
    Pump();
    saw_waiting |= form.outcome() == UninstallWindow::Outcome::kWaitingForClose &&
                   !form.LblStatus.Text().empty();
    Sleep(10);
  }
  // The last question is answered too.
  stop = true;
  while (!stopped) {
    Pump();
    Sleep(10);
  }
  prober.join();
  EXPECT_TRUE(saw_waiting) << "the wait is shown";
  EXPECT_EQ(form.outcome(), UninstallWindow::Outcome::kStillRunning);
  EXPECT_GE(asked.load(), 15);
  EXPECT_EQ(answered.load(), asked.load()) << "the window answered all along";
  EXPECT_EQ(boxes_,
            std::vector<std::string>{lang::FormatText(texts_.UninstallStillRunning, "Zapdock")});
  EXPECT_TRUE(registry_.KeyExists(RegRoot::kLocalMachine, kUninstallKey)) << "nothing removed";
  EXPECT_TRUE(processes_.started().empty());
  EXPECT_TRUE(IsWindowEnabled(form.BtnStartUnstall.hwnd())) << "try again";
}

TEST_F(UninstallWindowTest, PlaceCaptionAndTheLinkToTheHomePage) {
  const POINT at = UninstallWindow::Placement(1024, 768, 440, 200);
  EXPECT_EQ(at.x, (1024 - 440) / 2 - 50);
  EXPECT_EQ(at.y, (768 - 200) / 2 - 30);
  UninstallWindow& form = Open();
  wchar_t caption[128] = {};
  GetWindowTextW(form.hwnd(), caption, 128);
  EXPECT_EQ(WideToUtf8(caption), lang::FormatText(texts_.UninstallTitle, "Zapdock"));
  EXPECT_NE(SendMessageW(form.Picture.hwnd(), STM_GETICON, 0, 0), 0);
  form.Label2MouseDown();
  ASSERT_EQ(processes_.started().size(), 1u);
  EXPECT_EQ(processes_.started()[0].file, "https://home.example/");
}

}  // namespace
}  // namespace zd
