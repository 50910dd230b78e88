#include "launch/startup_programs_window_win.h"

#include <windows.h>
// windows.h must come first
#include <commctrl.h>

#include <algorithm>

#include "lang/captions.h"
#include "lang/lang_tables.h"
#include "platform/errors.h"
#include "platform/resources_win.h"
#include "platform/utf8.h"
#include "platform/wide_win.h"
#include "platform/win_util_win.h"
#include "store/doc.h"

namespace zd {
namespace {

constexpr wchar_t kClassName[] = L"ZapdockStartupPrograms";
constexpr int kWidth = 820;
constexpr int kHeight = 480;
constexpr int kNameColumnMax = 210;
constexpr int kPathColumnMax = 550;
constexpr COLORREF kFlagBackground = RGB(255, 0, 0);
constexpr COLORREF kFlagText = RGB(255, 255, 0);
constexpr COLORREF kDisabledText = RGB(128, 128, 128);

std::string SourceText(RunKeySource source) {
  const lang::InterfaceTexts& t = lang::Texts();
  switch (source) {
    case RunKeySource::kMachine:
      return t.PCStartSourceMachine;
    case RunKeySource::kMachine32:
      return t.PCStartSourceMachine32;
    case RunKeySource::kUser:
      break;
  }
  return t.PCStartSourceUser;
}

void AddColumn(HWND list, int index, const std::string& caption) {
  std::wstring text = Utf8ToWide(caption);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = text.data();
  column.cx = 100;
  SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

void SetCell(HWND list, int row, int column, const std::string& text) {
  std::wstring wide = Utf8ToWide(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = wide.data();
  SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

StartupProgramsWindow::StartupProgramsWindow(StartupWindowDeps deps) : deps_(std::move(deps)) {
  set_message_box(deps_.message_box);
}

StartupProgramsWindow::~StartupProgramsWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

std::unique_ptr<StartupProgramsWindow> StartupProgramsWindow::Create(HWND owner,
                                                                     StartupWindowDeps deps) {
  std::unique_ptr<StartupProgramsWindow> window(new StartupProgramsWindow(std::move(deps)));
  // Sizeable, with the system menu and close button only.
  return Made(std::move(window), CreateArgs::Dialog(kClassName, lang::Texts().PCStartCaption, owner,
                                                    kWidth, kHeight, /*sizeable=*/true));
}

LRESULT StartupProgramsWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NOTIFY: {
      NMHDR& header = *reinterpret_cast<NMHDR*>(lp);
      if (header.hwndFrom != LV.hwnd()) break;
      if (header.code == NM_CLICK || header.code == LVN_ITEMCHANGED) LVClick();
      if (header.code == NM_CUSTOMDRAW) return OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(lp));
      return 0;
    }
    case WM_CTLCOLOREDIT: {
      const HWND edit = reinterpret_cast<HWND>(lp);
      const bool flagged = (flagged_ == Flagged::kName && edit == TxtStartName.hwnd()) ||
                           (flagged_ == Flagged::kPath && edit == TxtStartPath.hwnd());
      if (!flagged) break;
      HDC dc = reinterpret_cast<HDC>(wp);
      SetTextColor(dc, kFlagText);
      SetBkColor(dc, kFlagBackground);
      return reinterpret_cast<LRESULT>(flag_brush_.get());
    }
    case WM_CLOSE:
      // Hidden and kept for the rest of the run.
      ShowWindow(hwnd_, SW_HIDE);
      return 0;
  }
  return Window::OnMessage(msg, wp, lp);
}

void StartupProgramsWindow::OnCreate() {
  const lang::InterfaceTexts& t = lang::Texts();
  const int lang = deps_.language_index;
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  ControlFactory& f = factory_;
  f.CreateTooltip(hwnd_);
  flag_brush_ = UniqueBrush(CreateSolidBrush(kFlagBackground));
  f.Make(LblHeader, L"STATIC", t.PCStartHeader, kChild, hwnd_, 10, 10, 400, 18);
  f.Make(LV, WC_LISTVIEWW, "", kChild | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
         hwnd_, 10, 32, 780, 260, WS_EX_CLIENTEDGE);
  SendMessageW(LV.hwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  AddColumn(LV.hwnd(), 0, t.PCStartColName);
  AddColumn(LV.hwnd(), 1, t.PCStartColPath);
  AddColumn(LV.hwnd(), 2, t.PCStartColSource);
  AddColumn(LV.hwnd(), 3, t.PCStartColState);
  f.Make(LblStatus, L"STATIC", "", kChild, hwnd_, 10, 296, 780, 18);
  f.Make(LbZDPCStartName, L"STATIC", t.PCStartNameLabel, kChild | SS_RIGHT, hwnd_, 4, 322, 96, 18);
  f.Make(TxtStartName, L"EDIT", "", kChild | WS_TABSTOP | ES_AUTOHSCROLL, hwnd_, 104, 320, 600, 22,
         WS_EX_CLIENTEDGE);
  f.Make(LbZDPCStartPath, L"STATIC", t.PCStartPathLabel, kChild | SS_RIGHT, hwnd_, 4, 352, 96, 18);
  f.Make(TxtStartPath, L"EDIT", "", kChild | WS_TABSTOP | ES_AUTOHSCROLL, hwnd_, 104, 350, 600, 22,
         WS_EX_CLIENTEDGE);
  const std::pair<Button*, Ui> buttons[] = {{&BtnZDPCRun, Ui::BtnZDPCRun},
                                            {&BtnZDAddPCStart, Ui::BtnZDAddPCStart},
                                            {&BtnZDDeletePCStart, Ui::BtnZDDeletePCStart},
                                            {&BtnZDClearPCStart, Ui::BtnZDClearPCStart},
                                            {&BtnClose, Ui::BtnClose}};
  int x = 104;
  for (const auto& [button, part] : buttons) {
    f.Make(*button, L"BUTTON", "", kChild | WS_TABSTOP | BS_PUSHBUTTON | BS_BITMAP, hwnd_, x, 384,
           40, 30);
    f.AddHint(*button, lang::CaptionOf(part, lang));
    if (UniqueBitmap image = LoadBmpResource(Utf8ToWide(UiName(part)).c_str())) {
      button->SetImage(image.get());
      images_.push_back(std::move(image));
    }
    x += 48;
  }
  OnClick(BtnZDAddPCStart, [this] { BtnZDAddPCStartClick(); });
  OnClick(BtnZDDeletePCStart, [this] { BtnZDDeletePCStartClick(); });
  OnClick(BtnZDClearPCStart, [this] { BtnZDClearPCStartClick(); });
  OnClick(BtnZDPCRun, [this] { BtnZDPCRunClick(); });
  OnClick(BtnClose, [this] { BtnCloseClick(); });
  List();
}

void StartupProgramsWindow::Layout() {
  const auto [w, h] = ClientSize();
  const ControlFactory& f = factory_;
  LblHeader.Place(f.Px(10), f.Px(10), w - f.Px(20), f.Px(18));
  LV.Place(f.Px(10), f.Px(32), w - f.Px(20), h - f.Px(32 + 150));
  LblStatus.Place(f.Px(10), h - f.Px(146), w - f.Px(20), f.Px(18));
  // Both fields take the window's width less 120 pixels.
  RECT window;
  GetWindowRect(hwnd_, &window);
  const int field = (window.right - window.left) - f.Px(120);
  LbZDPCStartName.Place(f.Px(4), h - f.Px(116), f.Px(96), f.Px(18));
  TxtStartName.Place(f.Px(104), h - f.Px(118), field, f.Px(22));
  LbZDPCStartPath.Place(f.Px(4), h - f.Px(86), f.Px(96), f.Px(18));
  TxtStartPath.Place(f.Px(104), h - f.Px(88), field, f.Px(22));
  int x = f.Px(104);
  for (const Button* b :
       {&BtnZDPCRun, &BtnZDAddPCStart, &BtnZDDeletePCStart, &BtnZDClearPCStart, &BtnClose}) {
    b->Place(x, h - f.Px(50), f.Px(40), f.Px(30));
    x += f.Px(48);
  }
}

void StartupProgramsWindow::Show() {
  // Other programs change the keys while the window is hidden.
  List();
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
}

int StartupProgramsWindow::Message(const std::string& text, UINT flags) {
  return ShowMessage(text, lang::Texts().PCStartCaption, flags);
}

void StartupProgramsWindow::List() {
  if (!deps_.registry) return;
  listing_ = ListStartupEntries(*deps_.registry);
  const lang::InterfaceTexts& t = lang::Texts();
  HWND list = LV.hwnd();
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  for (size_t i = 0; i < listing_.entries.size(); ++i) {
    const StartupEntry& e = listing_.entries[i];
    std::wstring name = Utf8ToWide(e.name);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(i);
    item.pszText = name.data();
    item.lParam = static_cast<LPARAM>(i);
    const int row =
        static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    SetCell(list, row, 1, e.command);
    SetCell(list, row, 2, SourceText(e.source));
    SetCell(list, row, 3, e.disabled ? t.PCStartDisabled : std::string());
  }
  FitColumns();
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  // An empty list means an empty key: a key that could not be read says so.
  std::string unreadable;
  for (RunKeySource source : listing_.unreadable) {
    if (!unreadable.empty()) unreadable += ", ";
    unreadable += SourceText(source);
  }
  LblStatus.SetText(unreadable.empty() ? std::string()
                                       : lang::FormatText(t.PCStartUnreadable, unreadable));
}

void StartupProgramsWindow::FitColumns() {
  // Sized to fit, within their limits.
  const int limits[] = {kNameColumnMax, kPathColumnMax, 160, 100};
  for (int c = 0; c < 4; ++c) {
    SendMessageW(LV.hwnd(), LVM_SETCOLUMNWIDTH, c, LVSCW_AUTOSIZE_USEHEADER);
    const int width = static_cast<int>(SendMessageW(LV.hwnd(), LVM_GETCOLUMNWIDTH, c, 0));
    SendMessageW(LV.hwnd(), LVM_SETCOLUMNWIDTH, c, std::min(width, Px(limits[c])));
  }
}

const StartupEntry* StartupProgramsWindow::Selected() const {
  const int row = static_cast<int>(
      SendMessageW(LV.hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (row < 0) return nullptr;
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!SendMessageW(LV.hwnd(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  const auto index = static_cast<size_t>(item.lParam);
  return index < listing_.entries.size() ? &listing_.entries[index] : nullptr;
}

void StartupProgramsWindow::SelectRow(int row) {
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(LV.hwnd(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
}

void StartupProgramsWindow::LVClick() {
  const StartupEntry* entry = Selected();
  if (!entry) return;
  // A value of another type is listed read-only: its shown form must never
  // reach the fields, from where Add would write it back as a string.
  TxtStartName.SetText(entry->editable() ? entry->name : std::string());
  TxtStartPath.SetText(entry->editable() ? entry->command : std::string());
}

void StartupProgramsWindow::Flag(Flagged field) {
  flagged_ = field;
  InvalidateRect(TxtStartName.hwnd(), nullptr, TRUE);
  InvalidateRect(TxtStartPath.hwnd(), nullptr, TRUE);
}

void StartupProgramsWindow::BtnZDAddPCStartClick() {
  Flag(Flagged::kNone);
  const std::string name = TxtStartName.Text(), path = TxtStartPath.Text();
  const lang::InterfaceTexts& t = lang::Texts();
  switch (CheckStartupFields(name, path)) {
    case StartupFieldCheck::kEmptyName:
      Message(t.PCStartEmptyName, MB_OK | MB_ICONERROR);
      Flag(Flagged::kName);
      SetFocus(TxtStartName.hwnd());
      return;
    case StartupFieldCheck::kEmptyPath:
      Message(t.PCStartEmptyPath, MB_OK | MB_ICONERROR);
      Flag(Flagged::kPath);
      SetFocus(TxtStartPath.hwnd());
      return;
    case StartupFieldCheck::kOk:
      break;
  }
  if (!deps_.registry) return;
  // The row the user chose says which key a name standing in two means.
  std::optional<RunKeySource> row;
  if (const StartupEntry* entry = Selected();
      entry && EqualsIgnoringAsciiCase(entry->name, Trim(name)))
    row = entry->source;
  // What is overwritten is decided on the keys as they are now.
  List();
  const StartupWrite write = AddStartupEntry(*deps_.registry, listing_, name, path, row);
  if (write.other_type) {
    Message(t.PCStartOtherType, MB_OK | MB_ICONERROR);
  } else if (!write.ok) {
    Message(t.PCStartWriteFailed, MB_OK | MB_ICONERROR);
  }
  List();
}

void StartupProgramsWindow::BtnZDDeletePCStartClick() {
  const lang::InterfaceTexts& t = lang::Texts();
  const StartupEntry* entry = Selected();
  if (!entry) {
    Message(t.PCStartNoSelection, MB_OK | MB_ICONERROR);
    return;
  }
  if (!deps_.registry) return;
  const std::string name = entry->name;
  const RunKeySource source = entry->source;
  // The entry as it stands now, in the key the row came from, kept by value:
  // while the question is open the main window's button may list the keys
  // again, which frees the listing's entries.
  List();
  const StartupEntry* found = FindStartupEntry(listing_, name, source);
  if (!found) return;
  const StartupEntry current = *found;
  if (Message(lang::FormatText(t.PCStartDeleteQuestion, current.name),
              MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return;
  }
  if (!DeleteStartupEntry(*deps_.registry, current))
    Message(t.PCStartDeleteFailed, MB_OK | MB_ICONERROR);
  List();
}

void StartupProgramsWindow::BtnZDClearPCStartClick() {
  TxtStartName.SetText("");
  TxtStartPath.SetText("");
  Flag(Flagged::kNone);
  SetFocus(TxtStartName.hwnd());
}

void StartupProgramsWindow::BtnZDPCRunClick() {
  auto expand = [](const std::string& text) {
    const std::wstring wide = Utf8ToWide(text);
    const DWORD needed = ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
    if (needed == 0) return text;
    std::wstring out(needed, L'\0');
    ExpandEnvironmentStringsW(wide.c_str(), out.data(), needed);
    out.resize(wcsnlen(out.c_str(), out.size()));
    return WideToUtf8(out);
  };
  if (deps_.open_path) deps_.open_path(TryOutCommand(TxtStartPath.Text(), expand));
}

void StartupProgramsWindow::BtnCloseClick() { ShowWindow(hwnd_, SW_HIDE); }

LRESULT StartupProgramsWindow::OnCustomDraw(NMLVCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      // Entries Windows switched off show in grey.
      const auto index = static_cast<size_t>(draw.nmcd.lItemlParam);
      if (index < listing_.entries.size() && listing_.entries[index].disabled) {
        draw.clrText = kDisabledText;
      }
      return CDRF_DODEFAULT;
    }
  }
  return CDRF_DODEFAULT;
}

}  // namespace zd
