// The program's whole life under Wine, as a user lives it: the setup installs
// it; started with a dead server and a live one on 127.0.0.1, it offers the
// newer version, downloads and checks it, saves, closes and starts it; a
// tampered setup is refused and deleted; "zapdock.exe uninstall" removes what
// the setup made, and the program's folder is gone afterwards.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <fstream>
#include <iterator>
#include <set>

#include "lang/lang_tables.h"
#include "lang/service_texts.h"
#include "mainwin/main_window_win.h"
#include "online/online_names.h"
#include "online/update_signing_for_tests.h"
#include "online/update_window_win.h"
#include "tests/win/helper_process.h"
#include "tests/win/ui_drive.h"
#include "tests/win/update_server_env.h"
#include "uninstall/uninstall_window_win.h"

namespace zd {
namespace {

constexpr wchar_t kUninstallKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zapdock";

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(WideToUtf8(path).c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::wstring ReadValue(HKEY root, const wchar_t* key, const wchar_t* name) {
  wchar_t data[1024] = {};
  DWORD size = sizeof(data);
  if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) {
    return L"";
  }
  return data;
}

std::string UserFolderPath(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return WideToUtf8(path);
}

// Waits for the program's message box and answers it; returns its text.
std::string Answer(const ChildProcess& program, int button) {
  HWND box = WaitForMessageBox(program.pid(), 60000);
  if (!box) return "(no message box)";
  const std::string text = MessageBoxText(box);
  PressButton(box, button);
  // Gone before the next one is looked for.
  for (int i = 0; i < 200 && IsWindow(box); ++i) Sleep(50);
  return text;
}

struct Running {
  DWORD pid, parent;
  std::wstring exe;  // file name only
};
std::vector<Running> RunningProcesses() {
  std::vector<Running> out;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return out;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    out.push_back({entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
  }
  CloseHandle(snapshot);
  return out;
}

bool SameName(const std::wstring& a, const wchar_t* b) {
  return CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}

// Watches the setups that run until Zapdock is started again; answers the
// new Zapdock's process and whether a setup was its parent.
struct Restart {
  DWORD pid = 0;
  bool child_of_setup = false;
};
Restart WaitForRestart(DWORD ms) {
  std::set<DWORD> setups;
  for (DWORD waited = 0; waited <= ms; waited += 50) {
    for (const Running& p : RunningProcesses()) {
      if (SameName(p.exe, L"setupZD.exe")) setups.insert(p.pid);
    }
    for (const Running& p : RunningProcesses()) {
      if (SameName(p.exe, L"zapdock.exe")) return {p.pid, setups.count(p.parent) > 0};
    }
    Sleep(50);
  }
  return {};
}

bool WaitForVersion(const std::wstring& version, DWORD ms) {
  for (DWORD waited = 0; waited <= ms; waited += 200) {
    if (ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion") == version) return true;
    Sleep(200);
  }
  return false;
}

TEST(LifeWithServer, InstallUpdateRefuseATamperedSetupAndUninstall) {
  const UpdateServerEnv env = UpdateServerEnv::Get();
  ZD_REQUIRE_UPDATE_SERVER(env);
  if (std::string(ZD_TEST_UPDATE_SEED).empty()) GTEST_SKIP() << "release key: no test signatures";
  const lang::ServiceTexts& texts = lang::ServiceTextsFor(0);
  const TestSigner signer(ZD_TEST_UPDATE_SEED);
  ASSERT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"), L"")
      << "a fresh prefix";

  // Install.
  {
    ChildProcess setup(BesideUs(L"setupZD.exe"), L"/S");
    DWORD code = 1;
    ASSERT_TRUE(setup.WaitForExit(120000, &code));
    ASSERT_EQ(code, 0u);
  }
  ASSERT_TRUE(WaitForVersion(L"3.5", 1000));
  const std::wstring uninstall_string =
      ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString");
  ASSERT_TRUE(uninstall_string.ends_with(L"\\zapdock.exe\" uninstall"))
      << WideToUtf8(uninstall_string);
  const std::wstring exe = uninstall_string.substr(1, uninstall_string.find(L'"', 1) - 1);
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  const std::string desktop_link =
      UserFolderPath(CSIDL_DESKTOPDIRECTORY) + "\\MRX软件\\Zapdock.lnk";
  const std::string programs_link = UserFolderPath(CSIDL_PROGRAMS) + "\\MRX软件\\Zapdock.lnk";
  ASSERT_TRUE(PathExists(exe));
  ASSERT_TRUE(PathExists(Utf8ToWide(desktop_link)));
  ASSERT_TRUE(PathExists(Utf8ToWide(programs_link)));

  // The vendor's server offers 3.6: the silent test setup, signed.
  const std::string newer = ReadFileBytes(BesideUs(L"setupZD-3.6-silent.exe"));
  ASSERT_GT(newer.size(), 100000u);
  ASSERT_TRUE(env.Put("vazozod/VAROV3.5.htm", signer.Page(kServerSignature, "3.6", newer)));
  ASSERT_TRUE(env.Put("vazozod/update/zd/setupZD.exe", newer));
  const std::wstring servers = L"--servers=http://127.0.0.1:1/," + Utf8ToWide(env.url);
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring download = std::wstring(temp) + L"setupZD.exe";

  // Update: asked once, downloaded, checked, saved, closed, started.
  {
    ChildProcess program(exe, servers);
    ASSERT_NE(WaitForWindow(program.pid(), MainWindow::kClassName, 30000), nullptr);
    EXPECT_EQ(Answer(program, IDYES), texts.UpdateQuestion);
    DWORD code = 1;
    EXPECT_TRUE(program.WaitForExit(60000, &code)) << "the program closes for its setup";
    EXPECT_EQ(code, 0u);
  }
  // The setup starts the program again through the shell, not as its own
  // (elevated) child.
  const Restart restart = WaitForRestart(90000);
  EXPECT_TRUE(WaitForVersion(L"3.6", 60000)) << "the newer setup ran";
  EXPECT_TRUE(PathExists(L"D:\\MrxConfig\\defualt.ini")) << "saved as at a normal close";
  ASSERT_NE(restart.pid, 0u) << "started again after the update";
  EXPECT_FALSE(restart.child_of_setup);
  {
    const HWND again = WaitForWindow(restart.pid, MainWindow::kClassName, 30000);
    ASSERT_NE(again, nullptr);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, restart.pid);
    PostMessageW(again, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0);
    CloseHandle(process);
  }

  // A tampered setup: refused with the download message, and deleted.
  std::string tampered = newer;
  tampered[tampered.size() / 2] ^= 0x20;
  ASSERT_TRUE(env.Put("vazozod/VAROV3.5.htm", signer.Page(kServerSignature, "3.7", newer)));
  ASSERT_TRUE(env.Put("vazozod/update/zd/setupZD.exe", tampered));
  {
    ChildProcess program(exe, servers);
    const HWND main_window = WaitForWindow(program.pid(), MainWindow::kClassName, 30000);
    ASSERT_NE(main_window, nullptr);
    EXPECT_EQ(Answer(program, IDYES), texts.UpdateQuestion);
    EXPECT_EQ(Answer(program, IDOK), texts.UpdateCheckFailed);
    EXPECT_TRUE(WaitUntilGone(download, 5000)) << "the refused file is deleted";
    EXPECT_TRUE(IsWindow(main_window)) << "the program keeps running";
    PostMessageW(main_window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(30000));
  }
  EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"), L"3.6");

  // Uninstall, as Programs and Features starts it.
  {
    ChildProcess uninstall(exe, L"uninstall");
    const HWND window = WaitForWindow(uninstall.pid(), UninstallWindow::kClassName, 30000);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(PressButton(window, lang::ServiceTextsFor(lang::LanguageIndex).UninstallStart));
    EXPECT_EQ(Answer(uninstall, IDOK), "你已成功卸载『Zapdock』");
    EXPECT_TRUE(uninstall.WaitForExit(30000));
  }
  EXPECT_TRUE(WaitUntilGone(exe, 40000));
  EXPECT_TRUE(WaitUntilGone(folder, 10000));
  // Installed in "<Program Files>\MRX软件\Zapdock": the maker's folder, left
  // empty, goes as well.
  const std::wstring maker = folder.substr(0, folder.find_last_of(L'\\'));
  ASSERT_TRUE(maker.ends_with(L"\\MRX软件")) << WideToUtf8(maker);
  EXPECT_TRUE(WaitUntilGone(maker, 10000));
  EXPECT_FALSE(PathExists(Utf8ToWide(desktop_link)));
  EXPECT_FALSE(PathExists(Utf8ToWide(programs_link)));
  EXPECT_FALSE(PathExists(Utf8ToWide(UserFolderPath(CSIDL_PROGRAMS) + "\\MRX软件")));
  EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"");
  HKEY key = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\VazOzod\\VAROV", 0, KEY_READ, &key),
            ERROR_SUCCESS);
  EXPECT_TRUE(PathExists(L"D:\\MrxConfig\\defualt.ini")) << "nothing left but the configuration";
}

}  // namespace
}  // namespace zd
