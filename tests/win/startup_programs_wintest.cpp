// The log-on programs in Wine's real registry: the own log-on value, the
// startup programs window's listing, add, delete and field checks.
#include <windows.h>
// windows.h must come first
#include <commctrl.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <shellapi.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "lang/lang_tables.h"
#include "launch/autostart.h"
#include "launch/startup_programs_window_win.h"
#include "platform/wide_win.h"

// While a test asks for it, memory given back to the heap is overwritten
// first, so that reading an object after it was freed shows as garbage (or
// a crash) instead of its old value. For this test program only.
namespace {
std::atomic<bool> scribble_freed{false};
}  // namespace

void operator delete(void* block) noexcept {
  if (block && scribble_freed) {
    // Written through volatile: a plain memset before free() is optimised away.
    volatile auto* bytes = static_cast<unsigned char*>(block);
    for (size_t i = 0, n = _msize(block); i < n; ++i) bytes[i] = 0xDD;
  }
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept { ::operator delete(block); }

namespace zd {
namespace {

constexpr wchar_t kRun[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The oracle: what the registry API itself reads.
std::optional<std::wstring> RegText(HKEY root, const wchar_t* name) {
  wchar_t data[512] = {};
  DWORD size = sizeof(data);
  if (RegGetValueW(root, kRun, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr,
                   data, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(data);
}

// `reg add` as a user types it, in a process of its own.
void RegAdd(const std::wstring& arguments) {
  std::wstring command = L"reg.exe add " + arguments + L" /f";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                             nullptr, nullptr, &si, &pi));
  WaitForSingleObject(pi.hProcess, 20000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

class StartupProgramsWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    lang::LoadLanguageTables(0, {}, lang::Texts());
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
  }
  void TearDown() override {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
      for (const wchar_t* name : {L"MRXZapdock", L"ZdTyped", L"ZdUser", L"ZdAdded"})
        RegDeleteKeyValueW(root, kRun, name);
  }
  // The window on the real registry; its questions answered with `answer`.
  std::unique_ptr<StartupProgramsWindow> OpenWindow() {
    StartupWindowDeps deps;
    deps.registry = registry.get();
    deps.message_box = [this](HWND, const std::string& text, const std::string&, UINT flags) {
      boxes.push_back(text);
      if ((flags & MB_YESNO) && while_asked) while_asked();
      return (flags & MB_YESNO) ? answer : IDOK;
    };
    return StartupProgramsWindow::Create(nullptr, deps);
  }
  // The row of the listed entry with this name; -1 when none is.
  static int RowOf(const StartupProgramsWindow& window, const std::string& name) {
    for (size_t row = 0; row < window.listing().entries.size(); ++row)
      if (window.listing().entries[row].name == name) return static_cast<int>(row);
    return -1;
  }

  std::unique_ptr<Registry> registry = MakeSystemRegistry();
  std::vector<std::string> boxes;
  int answer = IDYES;
  std::function<void()> while_asked;  // runs while a question is open
};

TEST_F(StartupProgramsWinTest, TheOwnLogOnValueAppearsAndGoes) {
  const std::string exe = "C:\\Program Files\\Zapdock\\zapdock.exe";
  EXPECT_TRUE(SetAutoStart(*registry, "MRXZapdock", exe, true).ok);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, L"MRXZapdock"),
            std::wstring(L"\"C:\\Program Files\\Zapdock\\zapdock.exe\""));
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, L"MRXZapdock"), std::nullopt) << "never in both";
  EXPECT_TRUE(IsAutoStartSet(*registry, "MRXZapdock"));
  EXPECT_TRUE(SetAutoStart(*registry, "MRXZapdock", exe, false).ok);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, L"MRXZapdock"), std::nullopt);
}

TEST_F(StartupProgramsWinTest, TypedValuesKeepTheirType) {
  const RegValue expandable{"ZdTyped", RegType::kExpandString, "%windir%\\notepad.exe", {}};
  ASSERT_TRUE(registry->WriteValue(RegRoot::kLocalMachine, kRunKey, RegView::kDefault, expandable));
  DWORD type = 0;
  RegGetValueW(HKEY_LOCAL_MACHINE, kRun, L"ZdTyped", RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
               nullptr);
  EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
  bool listed = false;
  for (const RegValue& v :
       registry->ListValues(RegRoot::kLocalMachine, kRunKey, RegView::kDefault).values) {
    if (v.name == "ZdTyped") listed = v == expandable;
  }
  EXPECT_TRUE(listed);
}

TEST_F(StartupProgramsWinTest, TheWindowListsAddsAndDeletes) {
  RegAdd(L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run /v ZdTyped /d C:\\t.exe");
  RegAdd(L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run /v ZdUser /d C:\\u.exe");
  RegAdd(
      L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run "
      L"/v ZdUser /t REG_BINARY /d 030000000000000000000000");
  auto window = OpenWindow();
  ASSERT_NE(window, nullptr);
  auto find = [&](const std::string& name) -> const StartupEntry* {
    for (const StartupEntry& e : window->listing().entries)
      if (e.name == name) return &e;
    return nullptr;
  };
  ASSERT_NE(find("ZdTyped"), nullptr);
  EXPECT_EQ(find("ZdTyped")->command, "C:\\t.exe");
  ASSERT_NE(find("ZdUser"), nullptr);
  EXPECT_EQ(find("ZdUser")->source, RunKeySource::kUser);
  EXPECT_TRUE(find("ZdUser")->disabled) << "marked 3 in StartupApproved";
  EXPECT_EQ(SendMessageW(window->LV.hwnd(), LVM_GETITEMCOUNT, 0, 0),
            static_cast<LRESULT>(window->listing().entries.size()));

  // The name is checked first, and its field is flagged.
  window->BtnZDAddPCStartClick();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], lang::Texts().PCStartEmptyName);
  EXPECT_EQ(window->flagged(), StartupProgramsWindow::Flagged::kName);

  window->TxtStartName.SetText("ZdAdded");
  window->TxtStartPath.SetText(" C:\\added.exe ");
  window->BtnZDAddPCStartClick();
  EXPECT_EQ(window->flagged(), StartupProgramsWindow::Flagged::kNone);
  ASSERT_NE(find("ZdAdded"), nullptr);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, L"ZdAdded"), std::wstring(L"C:\\added.exe"));
  // A program path with blanks: Windows' own parser finds the program whole.
  window->TxtStartPath.SetText("C:\\My Tools\\sync.exe -q");
  window->BtnZDAddPCStartClick();
  const std::wstring stored = RegText(HKEY_LOCAL_MACHINE, L"ZdAdded").value_or(L"");
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(stored.c_str(), &argc);
  ASSERT_NE(argv, nullptr);
  EXPECT_EQ(std::vector<std::wstring>(argv, argv + argc),
            (std::vector<std::wstring>{L"C:\\My Tools\\sync.exe", L"-q"}))
      << WideToUtf8(stored);
  LocalFree(argv);

  // Nothing selected: told; then the selected row goes from its own key.
  window->BtnZDDeletePCStartClick();
  EXPECT_EQ(boxes.back(), lang::Texts().PCStartNoSelection);
  window->SelectRow(RowOf(*window, "ZdUser"));
  ASSERT_NE(window->Selected(), nullptr);
  window->LVClick();
  EXPECT_EQ(window->TxtStartName.Text(), "ZdUser");
  window->BtnZDDeletePCStartClick();
  EXPECT_EQ(boxes.back(), lang::FormatText(lang::Texts().PCStartDeleteQuestion, "ZdUser"));
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, L"ZdUser"), std::nullopt);
  EXPECT_EQ(find("ZdUser"), nullptr);
}

// Another program changes the keys while the window is open or hidden.
TEST_F(StartupProgramsWinTest, TheListIsReadAfreshAndOtherTypesStayAsTheyAre) {
  RegAdd(L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run /v ZdTyped /d C:\\t.exe");
  answer = IDNO;
  auto window = OpenWindow();
  ASSERT_NE(window, nullptr);
  auto row_of = [&](const std::string& name) { return RowOf(*window, name); };
  ASSERT_GE(row_of("ZdTyped"), 0);
  EXPECT_EQ(row_of("ZdUser"), -1);

  // Shown again: what was added meanwhile is listed.
  RegAdd(L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run /v ZdUser /d C:\\u.exe");
  window->Show();
  EXPECT_GE(row_of("ZdUser"), 0);

  // The value became binary after the listing: Add leaves it alone and says why.
  RegAdd(
      L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run /v ZdTyped /t REG_BINARY "
      L"/d 0102");
  window->TxtStartName.SetText("ZdTyped");
  window->TxtStartPath.SetText("C:\\new.exe");
  window->BtnZDAddPCStartClick();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back(), lang::Texts().PCStartOtherType);
  DWORD type = 0;
  RegGetValueW(HKEY_LOCAL_MACHINE, kRun, L"ZdTyped", RRF_RT_ANY, &type, nullptr, nullptr);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));

  // Its row fills nothing Add could write back.
  window->TxtStartName.SetText("stale");
  window->SelectRow(row_of("ZdTyped"));
  window->LVClick();
  EXPECT_EQ(window->TxtStartName.Text(), "");
  EXPECT_EQ(window->TxtStartPath.Text(), "");

  // Delete asks once, naming the entry; No keeps it.
  boxes.clear();
  window->SelectRow(row_of("ZdUser"));
  window->BtnZDDeletePCStartClick();
  EXPECT_EQ(boxes, std::vector<std::string>{
                       lang::FormatText(lang::Texts().PCStartDeleteQuestion, "ZdUser")});
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, L"ZdUser"), std::wstring(L"C:\\u.exe"));
}

// The main window's button lists the keys again while Delete's question is
// open: the entry asked about goes, from its own key, and nothing else.
TEST_F(StartupProgramsWinTest, DeleteKeepsItsEntryWhileTheListIsRebuilt) {
  RegAdd(L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run /v ZdTyped /d C:\\t.exe");
  RegAdd(L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run /v ZdUser /d C:\\u.exe");
  auto window = OpenWindow();
  ASSERT_NE(window, nullptr);
  window->SelectRow(RowOf(*window, "ZdUser"));
  while_asked = [&] {
    RegAdd(L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run /v ZdAdded /d C:\\a.exe");
    window->Show();
  };
  scribble_freed = true;
  window->BtnZDDeletePCStartClick();
  scribble_freed = false;
  EXPECT_EQ(boxes, std::vector<std::string>{
                       lang::FormatText(lang::Texts().PCStartDeleteQuestion, "ZdUser")});
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, L"ZdUser"), std::nullopt);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, L"ZdAdded"), std::wstring(L"C:\\a.exe"));
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, L"ZdTyped"), std::wstring(L"C:\\t.exe"));
}

}  // namespace
}  // namespace zd
