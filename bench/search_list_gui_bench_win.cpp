// A keystroke in the search box of the shown main window, with a key that
// matches nearly every record: the search and the result list drawn, against
// an ordinary list box filled with the same rows, in the same process. Run
// under Wine (needs a display): wine ./search_list_gui_bench_win.exe
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/fake_main_window_win.h"
#include "bench/sample_records.h"
#include "platform/wide_win.h"
#include "store/program_files.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return (to.QuadPart - from.QuadPart) * 1000.0 / frequency.QuadPart;
}

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

}  // namespace

int main() {
  zd::InitProgramValues();
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  auto codec = zd::MakeCodec(936);
  for (size_t records : {1000u, 100000u}) {
    zd::FakeFiles files;
    files.AddDrive("D:\\", zd::DriveKind::kFixed);
    zd::bench::FakeMainWindow fakes;
    auto form = fakes.Open(files, *codec);
    if (!form) return 1;
    form->TimerFirstRunTimer();
    form->store().docs = zd::bench::SampleRecords(records);
    zd::LauncherPage& page = form->launcher();
    const HWND box = page.EdtSearch.hwnd();
    const HWND list = page.LbSearchResult.hwnd();

    // The first search makes the lowered copies of the records; the ones
    // after it are what typing costs.
    SendMessageW(box, WM_CHAR, L'x', 1);
    page.EdtSearch.SetText("");
    // Ours: the typed character searches, the list learns its row count and
    // draws the rows in sight.
    const LARGE_INTEGER t0 = Now();
    SendMessageW(box, WM_CHAR, L':', 1);  // in every path
    UpdateWindow(list);
    const LARGE_INTEGER t1 = Now();
    const int rows = page.LbSearchResult.Count();
    // The list's part alone: its row count set again and the rows in sight drawn.
    const LARGE_INTEGER l0 = Now();
    SendMessageW(list, LB_SETCOUNT, 0, 0);
    SendMessageW(list, LB_SETCOUNT, static_cast<WPARAM>(rows), 0);
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
    const LARGE_INTEGER l1 = Now();

    // The baseline: an ordinary list box of the same size holding every row.
    const zd::SearchModel& results = page.search_row().search().results();
    HWND plain = CreateWindowExW(
        0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0, 900,
        200, page.sheet.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    const LARGE_INTEGER t2 = Now();
    SendMessageW(plain, WM_SETREDRAW, FALSE, 0);
    for (size_t i = 0; i < results.RowCount(); ++i) {
      SendMessageW(plain, LB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(zd::Utf8ToWide(results.RowText(i)).c_str()));
    }
    SendMessageW(plain, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(plain, nullptr, TRUE);
    UpdateWindow(plain);
    const LARGE_INTEGER t3 = Now();
    const double keystroke = Milliseconds(t0, t1), ours = Milliseconds(l0, l1),
                 baseline = Milliseconds(t2, t3);
    std::printf(
        "%zu records, %d rows listed: keystroke to drawn list %.2f ms, of which the list %.2f ms; "
        "an ordinary list box filled with the same rows %.2f ms (%.1fx the list's part)\n",
        records, rows, keystroke, ours, baseline, ours > 0 ? baseline / ours : 0.0);
    DestroyWindow(plain);
  }
  return 0;
}
