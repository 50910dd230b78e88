// The uninstall mode for real: the self-deletion script through the Windows
// command interpreter, and the program started with "uninstall" removing what
// a setup made, then itself and its folder.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlobj.h>

#include <thread>

#include "lang/lang_tables.h"
#include "lang/service_texts.h"
#include "mainwin/main_window_win.h"
#include "platform/file_removal.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/registry_keys.h"
#include "platform/shell_folders.h"
#include "platform/temp_dir_for_tests.h"
#include "platform/text_codec.h"
#include "platform/utf8.h"
#include "tests/win/helper_process.h"
#include "tests/win/ui_drive.h"
#include "uninstall/self_delete.h"
#include "uninstall/uninstall_window_win.h"

namespace zd {
namespace {

std::wstring W(const std::string& s) { return Utf8ToWide(s); }

void Touch(const std::string& path) {
  HANDLE h = CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  CloseHandle(h);
}

void SetString(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& data) {
  HKEY h = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(h);
}

bool KeyExists(HKEY root, const wchar_t* key) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(root, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

bool ValueExists(HKEY root, const wchar_t* key, const wchar_t* name) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(root, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  const bool found = RegQueryValueExW(h, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(h);
  return found;
}

TEST(SelfDeleteScriptWin, RunsThroughCmdWithBlanksAmpersandsAndPercents) {
  TempDirForTests dir;
  const std::string folder = dir.File("R&D 100% %PATH% MRX软件") + "\\";
  ASSERT_TRUE(CreateDirectoryW(W(folder).c_str(), nullptr));
  const std::string exe = folder + "z app.exe";
  ASSERT_TRUE(CopyFileW(HelperExePath().c_str(), W(exe).c_str(), FALSE));
  // The program runs while the script starts: the script waits for it.
  ChildProcess running(W(exe), L"\"normal:self delete\"");
  ASSERT_TRUE(running.started());
  HWND window = WaitForWindow(running.pid(), kHelperClass, 10000);
  ASSERT_NE(window, nullptr);

  auto folders = MakeSystemShellFolders();
  auto removal = MakeSystemFileRemoval();
  auto files = MakeSystemFiles();
  auto processes = MakeSystemProcesses();
  const auto oem = MakeCodec(static_cast<int>(GetOEMCP()));
  ASSERT_NE(oem, nullptr);
  const std::optional<ScriptPlan> plan = PlanSelfDelete(exe, files->SystemDirectory(), *folders,
                                                        *removal, *oem, processes->IsElevated());
  ASSERT_TRUE(plan);
  ASSERT_TRUE(StartSelfDelete(*plan, *folders, *removal, *processes));
  Sleep(1500);
  EXPECT_TRUE(PathExists(W(exe))) << "still running, still there";
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(running.WaitForExit(10000));
  EXPECT_TRUE(WaitUntilGone(W(exe), 20000));
  EXPECT_TRUE(WaitUntilGone(W(folder), 10000));
  EXPECT_TRUE(WaitUntilGone(W(plan->bat), 10000));
  // Windows' interpreter reads its script a line at a time, so the folder
  // goes on the script's last line; Wine's holds the script open to its
  // end, and the folder stays there, empty.
  EXPECT_TRUE(WaitUntilGone(W(plan->folder), 2000) || RemoveDirectoryW(W(plan->folder).c_str()))
      << "nothing left in the script's folder";
  EXPECT_TRUE(PathExists(W(dir.path()))) << "only its own folder goes";
}

// A path read with a byte the code page could not decode holds an escape;
// written out it would be that byte: a line feed or quote would end the
// path. The script is refused and the folder made for it goes again.
TEST(SelfDeleteScriptWin, APathWithAnEscapedByteIsNeverWritten) {
  auto folders = MakeSystemShellFolders();
  auto removal = MakeSystemFileRemoval();
  const std::string system = MakeSystemFiles()->SystemDirectory();
  const auto oem = MakeCodec(static_cast<int>(GetOEMCP()));
  ASSERT_NE(oem, nullptr);
  const auto script_folders = [&] {
    int count = 0;
    WIN32_FIND_DATAW found{};
    HANDLE find =
        FindFirstFileW(W(folders->TempFolder() + kScriptFolderPrefix + "*").c_str(), &found);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &found))
      ++count;
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    return count;
  };
  const int before = script_folders();
  for (const int byte : {0x0A, 0x0D, 0x22, 0x25, 0x81}) {  // LF, CR, quote, %, a lead byte
    SCOPED_TRACE(byte);
    std::string exe = "C:\\Program Files\\a";
    AppendByteEscape(exe, byte);
    exe += " & calc\\zapdock.exe";
    EXPECT_EQ(PlanSelfDelete(exe, system, *folders, *removal, *oem, false), std::nullopt);
  }
  EXPECT_EQ(script_folders(), before) << "no folder is left behind";
  // The same path without the escape is written.
  const std::optional<ScriptPlan> plan = PlanSelfDelete("C:\\Program Files\\a & calc\\zapdock.exe",
                                                        system, *folders, *removal, *oem, false);
  ASSERT_TRUE(plan);
  EXPECT_EQ(removal->RemoveEmptyFolder(plan->folder), Removal::kRemoved);
}

TEST(UninstallModeWin, TheMessageAppearsAtTheMouseCursor) {
  const POINT cases[] = {{300, 200}, {40, 500}};
  for (const POINT& at : cases) {
    ASSERT_TRUE(SetCursorPos(at.x, at.y));
    std::thread box([] { MessageBoxAtCursor(nullptr, "text", "caption", MB_OK); });
    HWND found = WaitForMessageBox(GetCurrentProcessId(), 10000);
    ASSERT_NE(found, nullptr);
    RECT rc{};
    GetWindowRect(found, &rc);
    EXPECT_EQ(rc.left, at.x);
    EXPECT_EQ(rc.top, at.y);
    PressButton(found, IDOK);
    box.join();
  }
}

constexpr wchar_t kUninstallKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zapdock";
constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kProgramKey[] = L"Software\\VazOzod\\VAROV";

std::string UserFolderPath(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
  return WideToUtf8(path);
}

TEST(UninstallModeWin, RemovesWhatTheSetupMadeThenItselfAndItsFolder) {
  // As a setup leaves it, in a folder whose name needs quoting.
  wchar_t program_files[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, program_files);
  const std::string group = WideToUtf8(program_files) + "\\MRX软件 R&D 100%";
  const std::string folder = group + "\\Zapdock\\";
  CreateDirectoryW(W(group).c_str(), nullptr);
  ASSERT_TRUE(CreateDirectoryW(W(folder).c_str(), nullptr) ||
              GetLastError() == ERROR_ALREADY_EXISTS);
  const std::string exe = folder + "zapdock.exe";
  const std::wstring own = OwnExePath();
  ASSERT_TRUE(CopyFileW((own.substr(0, own.find_last_of(L'\\') + 1) + L"zapdock.exe").c_str(),
                        W(exe).c_str(), FALSE));
  Touch(folder + "defualt.ini");
  const std::string desktop = UserFolderPath(CSIDL_DESKTOPDIRECTORY) + "\\MRX软件";
  const std::string programs = UserFolderPath(CSIDL_PROGRAMS) + "\\MRX软件";
  CreateDirectoryW(W(desktop).c_str(), nullptr);
  CreateDirectoryW(W(programs).c_str(), nullptr);
  Touch(desktop + "\\Zapdock.lnk");
  Touch(programs + "\\Zapdock.lnk");
  Touch(programs + "\\Other.lnk");  // another of the maker's programs
  SetString(HKEY_CURRENT_USER, kProgramKey, L"InstallDir", W(folder));
  SetString(HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString",
            L"\"" + W(exe) + L"\" uninstall");
  SetString(HKEY_LOCAL_MACHINE, kRunKey, L"MRXZapdock", L"\"" + W(exe) + L"\"");
  SetString(HKEY_CURRENT_USER, kRunKey, L"MRXZapdock", L"\"" + W(exe) + L"\"");
  SetString(HKEY_LOCAL_MACHINE, kRunKey, L"ZapdockTestsKeep", L"x");
  // The program itself is running: the uninstall closes it first.
  ChildProcess program(W(exe), L"--servers=http://127.0.0.1:1/");
  ASSERT_NE(WaitForWindow(program.pid(), MainWindow::kClassName, 20000), nullptr);

  ChildProcess uninstall(W(exe), L"uninstall");
  HWND window = WaitForWindow(uninstall.pid(), UninstallWindow::kClassName, 20000);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowTextOf(window), "卸载MRX软件 - Zapdock");
  ASSERT_TRUE(PressButton(window, lang::ServiceTextsFor(lang::LanguageIndex).UninstallStart));
  HWND box = WaitForMessageBox(uninstall.pid(), 30000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), "你已成功卸载『Zapdock』");
  EXPECT_TRUE(program.WaitForExit(1000)) << "the running copy was closed first";
  PressButton(box, IDOK);
  DWORD code = 1;
  EXPECT_TRUE(uninstall.WaitForExit(10000, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(WaitUntilGone(W(exe), 40000));
  EXPECT_TRUE(WaitUntilGone(W(folder), 10000));

  EXPECT_FALSE(PathExists(W(desktop + "\\Zapdock.lnk")));
  EXPECT_FALSE(PathExists(W(desktop))) << "its group went with it";
  EXPECT_FALSE(PathExists(W(programs + "\\Zapdock.lnk")));
  EXPECT_TRUE(PathExists(W(programs + "\\Other.lnk"))) << "a group still in use stays";
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProgramKey));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kRunKey, L"MRXZapdock"));
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kRunKey, L"MRXZapdock"));
  EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kRunKey, L"ZapdockTestsKeep"));
  EXPECT_TRUE(PathExists(L"D:\\MrxConfig\\lr.dat")) << "the configuration folder stays";

  // Leave the prefix as it was for the tests after this one.
  DeleteFileW(W(programs + "\\Other.lnk").c_str());
  RemoveDirectoryW(W(programs).c_str());
  RemoveDirectoryW(W(group).c_str());
  HKEY run = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
    RegDeleteValueW(run, L"ZapdockTestsKeep");
    RegCloseKey(run);
  }
}

}  // namespace
}  // namespace zd
