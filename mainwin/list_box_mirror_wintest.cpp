// A row answered to another program never runs past the buffer that program
// sized by LB_GETTEXTLEN, whatever became of the row before its LB_GETTEXT.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "mainwin/list_box_mirror_win.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

TEST(ListBoxMirrorWin, LbGetTextWritesNoMoreThanLbGetTextLenSaid) {
  struct Case {
    const char* what;
    const char* told;     // the row when LB_GETTEXTLEN comes; nullptr: never asked
    const char* changed;  // the row when LB_GETTEXT comes
    const wchar_t* written;
  };
  const Case cases[] = {
      {"grown", "abc", "abcdef", L"abc"},
      {"shrunk", "abcdef", "ab", L"ab"},
      {"the same", "文档 1", "文档 1", L"文档 1"},
      {"a character of two units is not cut in half", "ab", "a\xF0\x9F\x98\x80x", L"a"},
      {"grown to two units", "a", "\xF0\x9F\x98\x80", L""},
      {"never asked: written whole", nullptr, "abcdef", L"abcdef"},
  };
  HWND list = CreateWindowExW(0, L"LISTBOX", nullptr, WS_POPUP | kVirtualListStyle, 0, 0, 200, 200,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(list, nullptr);
  // One row per case, each asked about (or not) on its own.
  DocList lines;
  ListBoxMirror mirror(list, lines);
  lines.AttachMirror(&mirror);
  std::vector<std::string> rows;
  for (const Case& c : cases) rows.push_back(std::string("C:\\x*|*") + (c.told ? c.told : ""));
  lines.ReplaceAll(rows);
  for (size_t row = 0; row < std::size(cases); ++row) {
    const Case& c = cases[row];
    SCOPED_TRACE(c.what);
    LRESULT length = 0;
    if (c.told) {
      length = SendMessageW(list, LB_GETTEXTLEN, row, 0);
      EXPECT_EQ(length, static_cast<LRESULT>(Utf8ToWide(c.told).size()));
    } else {
      length = static_cast<LRESULT>(Utf8ToWide(c.changed).size());
    }
    ASSERT_TRUE(lines.ReplaceLine(row, std::string("C:\\x*|*") + c.changed));
    // The caller's buffer, with what lies after it watched.
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1 + 16, L'#');
    const LRESULT got =
        SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(buffer.data()));
    EXPECT_EQ(std::wstring(buffer.data()), c.written);
    EXPECT_EQ(got, static_cast<LRESULT>(wcslen(c.written)));
    EXPECT_TRUE(std::all_of(buffer.begin() + length + 1, buffer.end(), [](wchar_t ch) {
      return ch == L'#';
    })) << "nothing past the told length and its NUL";
  }
  lines.AttachMirror(nullptr);
  DestroyWindow(list);
}

}  // namespace
}  // namespace zd
