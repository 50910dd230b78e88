#include "platform/win_util_win.h"

#include "platform/wide_win.h"

namespace zd {
HBRUSH FormBrush() {
  static HBRUSH brush = CreateSolidBrush(kFormColor);
  return brush;
}

std::string WindowTextUtf8(HWND hwnd) {
  int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(got > 0 ? got : 0);
  return WideToUtf8(text);
}

void SetWindowTextUtf8(HWND hwnd, std::string_view text) {
  SetWindowTextW(hwnd, Utf8ToWide(text).c_str());
}

bool IsChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetChecked(HWND button, bool checked) {
  SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace zd
