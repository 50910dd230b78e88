#include "mainwin/launcher_page_win.h"

#include <windows.h>

#include "mainwin/list_box_mirror_win.h"
// windows.h must come first
#include <commctrl.h>

#include <tuple>

#include "lang/captions.h"
#include "lang/lang_tables.h"
#include "launch/autostart.h"
#include "mainwin/form_model.h"
#include "platform/errors.h"
#include "platform/wide_win.h"
#include "store/program_files.h"

namespace zd {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kHidden = WS_CHILD | WS_CLIPSIBLINGS;
constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kTree =
    WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_INFOTIP;
constexpr int kSearchRowHeight = 36;
constexpr int kHintHeight = 22;
constexpr int kRightPanelWidth = 180;

// A press on the inner tab strip: the control switches the tab first (its
// change refreshes the new tab), and a press that changed nothing refreshes
// what the tab shows; either way one refresh, after the switch.
LRESULT CALLBACK TabStripProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg != WM_LBUTTONDOWN && msg != WM_RBUTTONDOWN) return DefSubclassProc(hwnd, msg, wp, lp);
  const HWND window = GetAncestor(hwnd, GA_ROOT);
  SendMessageW(window, LauncherPage::kTabPressMessage, LauncherPage::kPressBegins, 0);
  const LRESULT before = SendMessageW(hwnd, TCM_GETCURSEL, 0, 0);
  const LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
  const bool switched = SendMessageW(hwnd, TCM_GETCURSEL, 0, 0) != before;
  if (!switched) SendMessageW(window, LauncherPage::kTabPressMessage, LauncherPage::kPressStays, 0);
  return result;
}

}  // namespace

LauncherPage::LauncherPage(PageHost& host)
    : Page(host),
      system(host),
      favourites(host, LblHint),
      browser(host),
      note(host),
      settings(host) {}

LauncherPage::~LauncherPage() {
  for (TreeModel* t : {&tv_docs, &tv_doc, &tv_app, &tv_path}) t->SetMirror(nullptr);
}

std::vector<Page*> LauncherPage::SubPages() {
  return {&system, &favourites, &browser, &note, &settings};
}

void LauncherPage::Create(HWND parent) {
  OnClick(CbAutoStart, [this] { MnZDAutoRunClick(); });
  // The button is on the settings page; what it does is the trees' own.
  OnClick(settings.BtnZDDeleteAllDocs, [this] { doc_trees_.BtnZDDeleteAllDocsClick(); });
  ControlFactory& f = host_.Factory();
  const int lang = host_.Deps().language_index;
  auto caption = [lang](Ui part) { return lang::CaptionOf(part, lang); };
  f.Make(sheet, kPanelClass, "", kChild | WS_CLIPCHILDREN, parent, 0, 0, 10, 10);
  const HWND page = sheet.hwnd();

  f.Make(SearchRowPanel, kPanelClass, "", kChild, page, 0, 0, 100, kSearchRowHeight);
  const HWND row = SearchRowPanel.hwnd();
  f.Make(ShapeSearch, L"STATIC", "", kChild | SS_ETCHEDFRAME, row, 4, 5, 100, 26);
  f.Make(EdtSearch, L"EDIT", "", kChild | WS_TABSTOP | ES_AUTOHSCROLL, row, 9, 9, 100, 19);
  // The frame lies under the box: a sibling above it would clip the box away.
  ShapeSearch.SendToBottom();
  SendMessageW(EdtSearch.hwnd(), EM_SETCUEBANNER, TRUE,
               reinterpret_cast<LPARAM>(Utf8ToWide(lang::HintOf(Ui::EdtSearch, lang)).c_str()));
  f.Make(BtnZDSearch, L"BUTTON", caption(Ui::BtnZDSearch), kChild | kButton, row, 0, 5, 80, 26);
  f.Make(CbAutoStart, L"BUTTON", caption(Ui::CbAutoStart), kChild | WS_TABSTOP | BS_AUTOCHECKBOX,
         row, 0, 8, 100, 20);

  f.Make(InnerTabs, WC_TABCONTROLW, "",
         kChild | TCS_OWNERDRAWFIXED | TCS_FIXEDWIDTH | TCS_FOCUSNEVER, page, 0, kSearchRowHeight,
         100, 100);
  SendMessageW(InnerTabs.hwnd(), TCM_SETITEMSIZE, 0, MAKELPARAM(Px(kTabWidth), Px(kTabHeight)));
  SendMessageW(InnerTabs.hwnd(), TCM_SETPADDING, 0, MAKELPARAM(0, 0));
  for (const PageInfo& info : kTVControlPages) {
    if (info.tab_visible) InnerTabs.AddTab(caption(info.page));
  }
  const DWORD sheet_style = kHidden | WS_CLIPCHILDREN;
  for (Panel* tree_sheet : {&WebSheet, &ProgramsSheet, &FoldersSheet, &FilesSheet}) {
    f.Make(*tree_sheet, kPanelClass, "", sheet_style, page, 0, 0, 10, 10);
  }
  system.Create(page);
  favourites.Create(page);
  browser.Create(page);
  note.Create(page);
  settings.Create(page);
  f.Make(AllSheet, kPanelClass, "", sheet_style, page, 0, 0, 10, 10);
  const std::pair<TreeView*, Panel*> trees[] = {{&TVDoc, &WebSheet},
                                                {&TVApp, &ProgramsSheet},
                                                {&TVPath, &FoldersSheet},
                                                {&TVFile, &FilesSheet}};
  for (const auto& [tree, tree_sheet] : trees) {
    f.Make(*tree, WC_TREEVIEWW, "", kChild | kTree, tree_sheet->hwnd(), 0, 0, 10, 10);
    SendMessageW(tree->hwnd(), TVM_SETEXTENDEDSTYLE, TVS_EX_DOUBLEBUFFER, TVS_EX_DOUBLEBUFFER);
    SendMessageW(tree->hwnd(), TVM_SETBKCOLOR, 0, kFormColor);
  }

  f.Make(PnlRight, kPanelClass, "", kChild, page, 0, 0, kRightPanelWidth, 100);
  // Room for the vendor's button panel.
  f.Make(PnlVendor, kPanelClass, "", kChild, PnlRight.hwnd(), 9, 100, kRightPanelWidth - 18, 200);
  f.Make(LblHint, L"STATIC", "", kChild | SS_LEFT | SS_CENTERIMAGE | SS_PATHELLIPSIS, page, 0, 0,
         100, kHintHeight, WS_EX_STATICEDGE);

  // Hidden controls of the design.
  f.Make(WindowList, L"LISTBOX", "", kHidden | LBS_NOINTEGRALHEIGHT, page, 0, 0, 100, 100);
  f.Make(LbAutoRun, L"LISTBOX", "",
         kHidden | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT | kVirtualListStyle, page, 0, 0, 100,
         100);
  // Rows are drawn from the search's results: the list holds none itself.
  f.Make(LbSearchResult, L"LISTBOX", "",
         kHidden | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NODATA | LBS_OWNERDRAWFIXED |
             LBS_NOINTEGRALHEIGHT,
         page, 0, 0, 100, 100);
  f.Make(AllDocsGroup, L"BUTTON", caption(Ui::AllDocsGroup), kHidden | BS_GROUPBOX, page, 0, 0, 200,
         200);
  f.Make(TVDocs, WC_TREEVIEWW, "", kHidden | kTree, page, 4, 16, 190, 180);
  f.Make(LoadProgress, PROGRESS_CLASSW, "", kHidden, page, 0, 0, 200, 16);
  f.Make(PnlNote, kPanelClass, "", kHidden, page, 0, 0, 100, 100);
  f.Make(AdvancedPanel, kPanelClass, "", kHidden, page, 0, 0, 120, 30);
  f.Make(CbAdvSet, L"BUTTON", caption(Ui::CbAdvSet), kChild | WS_TABSTOP | BS_AUTOCHECKBOX,
         AdvancedPanel.hwnd(), 4, 4, 110, 20);
  f.Make(PnlRelate, kPanelClass, "", kHidden, page, 0, 0, 120, 100);
  f.Make(LbRelation, L"LISTBOX", "", kChild | LBS_NOINTEGRALHEIGHT, PnlRelate.hwnd(), 0, 0, 120,
         100);
  const std::pair<Button*, Ui> hidden_buttons[] = {{&BtnZDStart, Ui::BtnZDStart},
                                                   {&BtnAddToQuickLaunch, Ui::BtnAddToQuickLaunch},
                                                   {&BtnUnusedA, Ui::BtnUnusedA},
                                                   {&BtnUnusedB, Ui::BtnUnusedB},
                                                   {&BtnTimedShutdown, Ui::BtnTimedShutdown},
                                                   {&BtnSendMail, Ui::BtnSendMail}};
  for (const auto& [button, id] : hidden_buttons) {
    f.Make(*button, L"BUTTON", caption(id), kHidden | kButton, page, 0, 0, 90, 26);
  }

  // The trees share one image list and mirror their models.
  tree_images_ = std::make_unique<TreeImageList>(Px(16));
  const std::tuple<TreeView*, TreeModel*, const Panel*> models[] = {
      {&TVDocs, &tv_docs, nullptr},
      {&TVDoc, &tv_doc, &WebSheet},
      {&TVApp, &tv_app, &ProgramsSheet},
      {&TVPath, &tv_path, &FoldersSheet},
      {&TVFile, &tv_file, &FilesSheet}};
  std::vector<DocTrees::Tree> attached;
  for (const auto& [view, model, tree_sheet] : models) {
    SendMessageW(view->hwnd(), TVM_SETIMAGELIST, TVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(tree_images_->handle()));
    tree_mirrors_.push_back({model, std::make_unique<TreeViewMirror>(view->hwnd()), tree_sheet});
    attached.push_back({view, model, tree_mirrors_.back().mirror.get()});
  }
  doc_trees_.Attach(std::move(attached));
  search_row_.Attach();
  SetWindowSubclass(InnerTabs.hwnd(), TabStripProc, 2, 0);
  ShowPage(0);
}

const Panel& LauncherPage::SheetOfPage(int page_index) const {
  const Ui page = page_index >= 0 && page_index < kTVControlPageCount
                      ? kTVControlPages[page_index].page
                      : Ui::WebSheet;
  switch (page) {
    case Ui::ProgramsSheet:
      return ProgramsSheet;
    case Ui::FoldersSheet:
      return FoldersSheet;
    case Ui::FilesSheet:
      return FilesSheet;
    case Ui::SystemSheet:
      return system.sheet;
    case Ui::FavouritesSheet:
      return favourites.sheet;
    case Ui::BrowserSheet:
      return browser.sheet;
    case Ui::NotesSheet:
      return note.sheet;
    case Ui::SettingsSheet:
      return settings.sheet;
    case Ui::AllSheet:
      return AllSheet;
    default:
      return WebSheet;
  }
}

void LauncherPage::ShowPage(int page_index) {
  active_page_ = page_index;
  const int tab = TabIndexOfPage(page_index);
  if (tab >= 0) InnerTabs.Select(tab);
  if (page_index == kSystemPageIndex) system.MakeControls();
  if (page_index == kSettingsPageIndex) settings.MakeControls();
  for (int i = 0; i < kTVControlPageCount; ++i) SheetOfPage(i).Show(i == page_index);
  AttachShownTrees();
}

void LauncherPage::AttachShownTrees() {
  for (MirroredTree& tree : tree_mirrors_) {
    if (tree.attached || !tree.sheet || !tree.sheet->Visible()) continue;
    tree.attached = true;
    tree.model->SetMirror(tree.mirror.get());
  }
}

void LauncherPage::TVControlChange() {
  const int tab = InnerTabs.Selected();
  const int page = PageIndexOfTab(tab);
  if (page >= 0) ShowPage(page);
  search_row_.search().ClearResults();
  LblHint.SetText("");
  if (TreeKindOfPage(page)) host_.Tracker().CheckAllDocs();
  if (page == kWebPageIndex) browser.ShowBrowser(search_row_.web());
}

void LauncherPage::TVControlMouseDown(WPARAM stage) {
  if (stage == kPressStays) {
    // The press left the tab as it was: what it shows is refreshed.
    host_.Tracker().CheckKindDocs(TreeKindOfPage(active_page_));
    return;
  }
  search_row_.search().ClearResults();
  // TVControlEnter: the press brings the focus to the page control (ours
  // never takes it, so the press says so).
  search_row_.HideResults();
  LblHint.SetText("");
}

bool LauncherPage::OnNotify(const NMHDR& header) {
  if (header.hwndFrom == InnerTabs.hwnd() && header.code == TCN_SELCHANGE) {
    TVControlChange();
    return true;
  }
  return doc_trees_.OnNotify(header);
}

bool LauncherPage::OnControlCommand(HWND control, UINT code) {
  if (Page::OnControlCommand(control, code)) return true;
  if (search_row_.OnControlCommand(control, code)) return true;
  for (Page* page : SubPages())
    if (page->OnControlCommand(control, code)) return true;
  return false;
}

bool LauncherPage::OnMenuCommand(Ui entry) {
  if (doc_trees_.OnMenuCommand(entry)) return true;
  for (Page* page : SubPages())
    if (page->OnMenuCommand(entry)) return true;
  return false;
}

bool LauncherPage::OnContextMenu(HWND target, POINT screen) {
  if (doc_trees_.IsTree(target)) {
    doc_trees_.PmDocTreePopup();
    host_.PopupMenuAt(Ui::PmDocTree, screen);
    return true;
  }
  if (target == LbAutoRun.hwnd()) {
    host_.PopupMenuAt(Ui::PmAutoRunList, screen);
    return true;
  }
  for (Page* page : SubPages())
    if (page->OnContextMenu(target, screen)) return true;
  return false;
}

bool LauncherPage::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.hwndItem == InnerTabs.hwnd()) {
    TVAllDocsDrawTab(item);
    return true;
  }
  if (search_row_.OnDrawItem(item)) return true;
  for (Page* page : SubPages())
    if (page->OnDrawItem(item)) return true;
  return false;
}

void LauncherPage::TVAllDocsDrawTab(const DRAWITEMSTRUCT& item) {
  // The strip is one picture; each tab shows its own slice of it, taken from
  // the picture's lower band while the tab is selected.
  if (!tab_strip_) return;
  const int tab = static_cast<int>(item.itemID);
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  UniqueDC memory(CreateCompatibleDC(item.hDC));
  SelectGuard select(memory.get(), tab_strip_.get());
  SetStretchBltMode(item.hDC, HALFTONE);
  const RECT& rc = item.rcItem;
  StretchBlt(item.hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, memory.get(),
             tab * kTabWidth, selected ? kTabHeight : 0, kTabWidth, kTabHeight, SRCCOPY);
}

void LauncherPage::FreezeTrees(bool frozen) {
  // The models batch their changes and each control is filled once, at the
  // end, before it draws again.
  for (const MirroredTree& tree : tree_mirrors_) {
    if (frozen) {
      tree.mirror->HoldDrawing(true);
      tree.model->BeginBatch();
    } else {
      tree.model->EndBatch();
      tree.mirror->HoldDrawing(false);
    }
  }
}

void LauncherPage::MnZDAutoRunClick() {
  Registry* registry = host_.Deps().registry;
  if (!registry) return;
  const AutoStartOutcome outcome =
      SetAutoStart(*registry, ProductName, host_.Deps().exe_path, CbAutoStart.Checked());
  // The box shows what the registry holds; a refusal is explained once a run.
  CbAutoStart.SetChecked(outcome.set);
  if (!outcome.ok && !told_auto_start_failed_) {
    told_auto_start_failed_ = true;
    const lang::InterfaceTexts& texts = lang::Texts();
    host_.ShowMessage(texts.AutoStartFailed, texts.TipsCaption, MB_OK | MB_ICONWARNING);
  }
}

void LauncherPage::Layout(int pw, int ph) {
  // Search row, hint bar, right panel, and the inner pages in between.
  const int row_h = Px(kSearchRowHeight), hint_h = Px(kHintHeight), right_w = Px(kRightPanelWidth);
  SearchRowPanel.Place(0, 0, pw, row_h);
  ShapeSearch.Place(Px(4), Px(5), pw - Px(200), Px(26));
  EdtSearch.Place(Px(9), Px(9), pw - Px(210), Px(19));
  BtnZDSearch.Place(pw - Px(190), Px(5), Px(80), Px(26));
  CbAutoStart.Place(pw - Px(104), Px(8), Px(100), Px(20));
  LblHint.Place(0, ph - hint_h, pw, hint_h);
  PnlRight.Place(pw - right_w, row_h, right_w, ph - row_h - hint_h);
  const int tw = pw - right_w, th = ph - row_h - hint_h;
  InnerTabs.Place(0, row_h, tw, th);
  RECT inner = {0, 0, tw, th};
  SendMessageW(InnerTabs.hwnd(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&inner));
  const int iw = inner.right - inner.left, ih = inner.bottom - inner.top;
  // Pages lie over their tab control.
  for (int i = 0; i < kTVControlPageCount; ++i) {
    const Panel& page = SheetOfPage(i);
    page.Place(inner.left, row_h + inner.top, iw, ih);
    page.BringToTop();
  }
  for (const TreeView* tree : {&TVDoc, &TVApp, &TVPath, &TVFile}) tree->Place(0, 0, iw, ih);
  for (Page* page : SubPages()) page->Layout(iw, ih);
  // The result list floats over the pages, its rows as high as the DPI asks.
  SendMessageW(LbSearchResult.hwnd(), LB_SETITEMHEIGHT, 0, Px(SearchRow::kRowHeight));
  if (LbSearchResult.Visible()) LbSearchResult.BringToTop();
}

}  // namespace zd
