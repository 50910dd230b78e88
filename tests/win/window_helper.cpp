// zd_window_helper: opens the windows a test asks for and waits. Each
// argument is KIND:TITLE, KIND one of
//   normal  a visible top-level window
//   owned   a visible dialog-like window owned by the first window
//   tool    a visible tool window (WS_EX_TOOLWINDOW)
//   hidden  a top-level window that is never shown
//   busy    a visible window whose thread serves no messages until the
//           program ends (a program that does not answer)
// All windows have the class "ZdWindowHelper". The program ends when its first
// window is closed, and after 60 s in any case, so that no test can leave it
// running.
//
// Or, as another program holding a file open: hold PATH MS SHARE EVENT opens
// PATH sharing it for reading only (SHARE "read") or not at all ("none"),
// sets the named event EVENT, keeps the handle MS milliseconds (at most 60 s)
// and ends. It ends with 2 when the file could not be opened.
//
// Or, as a screen reader reads a list box of another program: read-list HWND
// OUT asks the list box HWND (decimal) for its row count and each row's text
// (LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT) and writes them to the file OUT,
// UTF-8, one row a line; a row that gives no text is written as "<LB_ERR>".
//
// Or, as a screen reader reads a tree control of another program: read-tree
// HWND OUT walks every item of the tree HWND (children whether shown or not)
// and writes "<depth spaces>caption|image" a line to OUT, each item asked for
// with TVM_GETITEMW into memory of the tree's own process, as another 32-bit
// program must; "<TVM_GETITEM>" for an item that gives nothing.
#include <windows.h>
// windows.h must come first
#include <commctrl.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr wchar_t kClass[] = L"ZdWindowHelper";
constexpr UINT_PTR kLifetimeTimer = 1;
constexpr UINT kLifetimeMs = 60000;
HWND g_first = nullptr;
// Set when the program ends: busy threads may then go.
HANDLE g_release = nullptr;

LRESULT CALLBACK HelperProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      if (wp == kLifetimeTimer) DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      if (hwnd == g_first) {
        SetEvent(g_release);
        PostQuitMessage(0);
      }
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

HWND Create(HINSTANCE instance, const std::wstring& title, DWORD style, DWORD ex_style, HWND owner,
            int n) {
  return CreateWindowExW(ex_style, kClass, title.c_str(), style, 40 + 30 * n, 40 + 30 * n, 320, 160,
                         owner, nullptr, instance, nullptr);
}

struct BusyWindow {
  HINSTANCE instance;
  std::wstring title;
  int n;
  HANDLE created;
  HWND hwnd = nullptr;
};

DWORD WINAPI BusyThread(void* param) {
  auto& busy = *static_cast<BusyWindow*>(param);
  busy.hwnd = Create(busy.instance, busy.title, WS_OVERLAPPEDWINDOW, 0, nullptr, busy.n);
  if (busy.hwnd) ShowWindow(busy.hwnd, SW_SHOWNOACTIVATE);
  SetEvent(busy.created);
  // No message is served on this thread from now on.
  WaitForSingleObject(g_release, INFINITE);
  return 0;
}

HWND OpenBusy(HINSTANCE instance, const std::wstring& title, int n) {
  BusyWindow busy{instance, title, n, CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  HANDLE thread = CreateThread(nullptr, 0, BusyThread, &busy, 0, nullptr);
  if (thread) {
    WaitForSingleObject(busy.created, INFINITE);
    CloseHandle(thread);
  }
  CloseHandle(busy.created);
  return busy.hwnd;
}

HWND Open(HINSTANCE instance, const std::wstring& kind, const std::wstring& title, int n) {
  DWORD style = WS_OVERLAPPEDWINDOW;
  DWORD ex_style = 0;
  HWND owner = nullptr;
  bool show = true;
  if (kind == L"owned") {
    if (!g_first) return nullptr;
    style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    owner = g_first;
  } else if (kind == L"tool") {
    ex_style = WS_EX_TOOLWINDOW;
  } else if (kind == L"hidden") {
    show = false;
  } else if (kind == L"busy") {
    return OpenBusy(instance, title, n);
  } else if (kind != L"normal") {
    return nullptr;
  }
  HWND hwnd = Create(instance, title, style, ex_style, owner, n);
  if (hwnd && show) ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  return hwnd;
}

int HoldFile(const std::wstring& path, int ms, const std::wstring& share,
             const std::wstring& event) {
  const DWORD share_mode = share == L"read" ? FILE_SHARE_READ : 0;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, share_mode, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  if (HANDLE held = OpenEventW(EVENT_MODIFY_STATE, FALSE, event.c_str())) {
    SetEvent(held);
    CloseHandle(held);
  }
  Sleep(static_cast<DWORD>(ms < 0 ? 0 : ms > 60000 ? 60000 : ms));
  CloseHandle(file);
  return 0;
}

std::string Utf8(const std::wstring& wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) {
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, nullptr);
  }
  return out;
}

int WriteOut(const std::wstring& out_path, const std::string& text) {
  HANDLE file = CreateFileW(out_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}

int ReadList(HWND list, const std::wstring& out_path) {
  std::string text;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT row = 0; row < count; ++row) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, row, 0);
    if (length == LB_ERR) {
      text += "<LB_ERR>\n";
      continue;
    }
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(wide.data()));
    text += got == LB_ERR ? "<LB_ERR>" : Utf8(wide.substr(0, static_cast<size_t>(got)));
    text += '\n';
  }
  return WriteOut(out_path, text);
}

// The item and its text buffer live in the tree's process: a pointer of ours
// would mean nothing there.
struct RemoteItem {
  TVITEMW item;
  wchar_t text[260];
};

void ReadTreeItems(HWND tree, HANDLE process, RemoteItem* remote, HTREEITEM first, int depth,
                   std::string& text) {
  for (HTREEITEM item = first; item;
       item = reinterpret_cast<HTREEITEM>(
           SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
    RemoteItem local{};
    local.item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE;
    local.item.hItem = item;
    local.item.pszText = remote->text;
    local.item.cchTextMax = 260;
    SIZE_T moved = 0;
    text.append(static_cast<size_t>(depth) * 2, ' ');
    if (WriteProcessMemory(process, remote, &local, sizeof local, &moved) &&
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&remote->item)) &&
        ReadProcessMemory(process, remote, &local, sizeof local, &moved)) {
      local.text[259] = L'\0';
      text += Utf8(local.text) + "|" + std::to_string(local.item.iImage);
    } else {
      text += "<TVM_GETITEM>";
    }
    text += '\n';
    ReadTreeItems(tree, process, remote,
                  reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                           reinterpret_cast<LPARAM>(item))),
                  depth + 1, text);
  }
}

int ReadTree(HWND tree, const std::wstring& out_path) {
  DWORD pid = 0;
  GetWindowThreadProcessId(tree, &pid);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return 3;
  auto* remote = static_cast<RemoteItem*>(
      VirtualAllocEx(process, nullptr, sizeof(RemoteItem), MEM_COMMIT, PAGE_READWRITE));
  if (!remote) {
    CloseHandle(process);
    return 3;
  }
  std::string text;
  ReadTreeItems(tree, process, remote,
                reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)), 0,
                text);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return WriteOut(out_path, text);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return 1;
  if (argc == 4 && std::wstring(argv[1]) == L"read-list") {
    const auto list =
        reinterpret_cast<HWND>(static_cast<uintptr_t>(_wcstoui64(argv[2], nullptr, 10)));
    const int rc = ReadList(list, argv[3]);
    LocalFree(argv);
    return rc;
  }
  if (argc == 4 && std::wstring(argv[1]) == L"read-tree") {
    const auto tree =
        reinterpret_cast<HWND>(static_cast<uintptr_t>(_wcstoui64(argv[2], nullptr, 10)));
    const int rc = ReadTree(tree, argv[3]);
    LocalFree(argv);
    return rc;
  }
  if (argc == 6 && std::wstring(argv[1]) == L"hold") {
    const int rc = HoldFile(argv[2], _wtoi(argv[3]), argv[4], argv[5]);
    LocalFree(argv);
    return rc;
  }
  WNDCLASSW wc{};
  wc.lpfnWndProc = HelperProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kClass;
  if (!RegisterClassW(&wc)) return 1;
  g_release = CreateEventW(nullptr, TRUE, FALSE, nullptr);

  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const size_t colon = arg.find(L':');
    if (colon == std::wstring::npos) continue;
    HWND hwnd = Open(instance, arg.substr(0, colon), arg.substr(colon + 1), i);
    if (!g_first) g_first = hwnd;
  }
  LocalFree(argv);
  if (!g_first) return 1;
  SetTimer(g_first, kLifetimeTimer, kLifetimeMs, nullptr);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
