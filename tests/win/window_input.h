// Input for the window tests as the controls receive it from the user: mouse
// presses at a tree item or a list row, keys, typed characters.
#pragma once

#include <windows.h>
// windows.h must come first
#include <commctrl.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/wide_win.h"

namespace zd {

// Serves the messages waiting for this thread.
inline void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Serves messages for `ms` milliseconds, or until `done` holds; whether it held.
inline bool PumpFor(int ms, const std::function<bool()>& done = nullptr) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    Pump();
    if (done && done()) return true;
    Sleep(5);
  }
  return done && done();
}

// A menu entry's caption; empty when the menu has no such entry.
inline std::string MenuText(HMENU menu, UINT id) {
  wchar_t text[256] = {};
  if (GetMenuStringW(menu, id, text, 256, MF_BYCOMMAND) <= 0) return {};
  return WideToUtf8(text);
}

inline HTREEITEM NextItem(HWND tree, HTREEITEM item, UINT code) {
  return reinterpret_cast<HTREEITEM>(
      SendMessageW(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}

inline std::string ItemCaption(HWND tree, HTREEITEM item) {
  wchar_t text[260] = {};
  TVITEMW tvi{};
  tvi.mask = TVIF_TEXT | TVIF_HANDLE;
  tvi.hItem = item;
  tvi.pszText = text;
  tvi.cchTextMax = 260;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
  return WideToUtf8(text);
}

inline UINT ItemState(HWND tree, HTREEITEM item, UINT mask) {
  return static_cast<UINT>(
      SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), mask));
}

// Every item of the control (groups and their children), in tree order.
inline std::vector<HTREEITEM> AllItems(HWND tree) {
  std::vector<HTREEITEM> items;
  for (HTREEITEM root = NextItem(tree, nullptr, TVGN_ROOT); root;
       root = NextItem(tree, root, TVGN_NEXT)) {
    items.push_back(root);
    for (HTREEITEM child = NextItem(tree, root, TVGN_CHILD); child;
         child = NextItem(tree, child, TVGN_NEXT)) {
      items.push_back(child);
    }
  }
  return items;
}

// The first item with this caption; null when there is none.
inline HTREEITEM FindItem(HWND tree, const std::string& caption) {
  for (HTREEITEM item : AllItems(tree)) {
    if (ItemCaption(tree, item) == caption) return item;
  }
  return nullptr;
}

// The captions of the items drawn as selected.
inline std::vector<std::string> SelectedCaptions(HWND tree) {
  std::vector<std::string> captions;
  for (HTREEITEM item : AllItems(tree)) {
    if (ItemState(tree, item, TVIS_SELECTED) & TVIS_SELECTED) {
      captions.push_back(ItemCaption(tree, item));
    }
  }
  return captions;
}

// The middle of an item's label, in the control's client coordinates.
inline POINT LabelPoint(HWND tree, HTREEITEM item) {
  // The message takes the item in the rectangle's first bytes.
  RECT rc{};
  static_assert(sizeof(rc) >= sizeof(item));
  std::memcpy(&rc, &item, sizeof(item));
  SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rc));
  return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

inline LPARAM At(POINT p) { return MAKELPARAM(p.x, p.y); }

inline void LeftClick(HWND window, POINT p, WPARAM keys = 0) {
  SendMessageW(window, WM_LBUTTONDOWN, keys | MK_LBUTTON, At(p));
  SendMessageW(window, WM_LBUTTONUP, keys, At(p));
}

inline void DoubleClick(HWND window, POINT p) {
  LeftClick(window, p);
  SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, At(p));
  SendMessageW(window, WM_LBUTTONUP, 0, At(p));
}

inline void Key(HWND window, WPARAM key) {
  SendMessageW(window, WM_KEYDOWN, key, 1);
  SendMessageW(window, WM_KEYUP, key, 0xC0000001);
}

// Characters as the message loop turns keys into them.
inline void Type(HWND window, const std::string& text) {
  for (wchar_t c : Utf8ToWide(text)) SendMessageW(window, WM_CHAR, c, 1);
}

}  // namespace zd
