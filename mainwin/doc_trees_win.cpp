#include "mainwin/doc_trees_win.h"

#include <windowsx.h>

#include "lang/captions.h"
#include "lang/lang_tables.h"
#include "launch/tree_commands.h"
#include "mainwin/control_input_win.h"
#include "mainwin/form_model.h"
#include "mainwin/launcher_page_win.h"
#include "platform/wide_win.h"
#include "platform/window_win.h"
#include "tracking/doc_kinds.h"

namespace zd {
namespace {

constexpr UINT_PTR kSubclassId = 9;

struct Hit {
  HTREEITEM item = nullptr;
  unsigned flags = 0;
};

Hit HitTest(HWND tree, POINT at) {
  TVHITTESTINFO info{};
  info.pt = at;
  SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
  return {info.hItem, info.flags};
}

POINT PointOf(LPARAM lp) { return {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}; }

}  // namespace

DocTrees::DocTrees(PageHost& host, LauncherPage& page) : host_(host), page_(page) {}

DocTrees::~DocTrees() {
  for (const Tree& tree : trees_) {
    RemoveSubclass(tree.view->hwnd(), TreeProc, kSubclassId);
  }
}

void DocTrees::Attach(std::vector<Tree> trees) {
  trees_ = std::move(trees);
  const int lang = host_.Deps().language_index;
  const std::pair<const TreeView*, Ui> hints[] = {{&page_.TVDoc, Ui::TVDoc},
                                                  {&page_.TVApp, Ui::TVApp},
                                                  {&page_.TVPath, Ui::TVPath},
                                                  {&page_.TVFile, Ui::TVFile},
                                                  {&page_.TVDocs, Ui::TVDocs}};
  for (const auto& [view, part] : hints) host_.Factory().AddHint(*view, lang::HintOf(part, lang));
  for (const Tree& tree : trees_) {
    SetWindowSubclass(tree.view->hwnd(), TreeProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  }
}

const DocTrees::Tree* DocTrees::Find(HWND window) const {
  for (const Tree& tree : trees_) {
    if (tree.view->hwnd() == window) return &tree;
  }
  return nullptr;
}

TreeNode* DocTrees::NodeAt(const Tree& tree, HTREEITEM item) {
  return const_cast<TreeNode*>(tree.mirror->NodeOf(item));
}

TreeModel* DocTrees::CurrentTree() {
  const int page = page_.active_page();
  if (const std::optional<DocKind> kind = TreeKindOfPage(page)) return page_.Trees().Of(*kind);
  return ShowsAllDocsTree(page) ? &page_.tv_docs : nullptr;
}

LRESULT CALLBACK DocTrees::TreeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                    DWORD_PTR self) {
  auto* trees = reinterpret_cast<DocTrees*>(self);
  if (msg == WM_GETDLGCODE) return WantEnterAndEscape(DefSubclassProc(hwnd, msg, wp, lp), lp);
  const Tree* tree = trees->Find(hwnd);
  if (tree && RunGuarded("TreeProc", [&] { return trees->TreeMessage(*tree, msg, wp, lp); })) {
    return 0;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

bool DocTrees::TreeMessage(const Tree& tree, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_KEYDOWN:
      TreeKeyDown(tree, static_cast<int>(wp));
      return false;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      return TreeMouseDown(tree, msg, wp, PointOf(lp));
    case WM_LBUTTONDBLCLK:
      // The control expands or collapses first, as it always does.
      DefSubclassProc(tree.view->hwnd(), msg, wp, lp);
      TreeDblClick(tree, PointOf(lp));
      return true;
    case WM_MOUSEMOVE:
      TreeMouseMove(tree, PointOf(lp));
      return false;
    case WM_SETFOCUS:
      // TVControlEnter: the focus comes to the trees.
      page_.search_row().HideResults();
      return false;
    default:
      return false;
  }
}

void DocTrees::TreeKeyDown(const Tree& tree, int key) {
  switch (zd::TreeKeyDown(key)) {
    case TreeKeyAction::kOpen:
      host_.Opener().OpenSelectedTreeDoc(tree.model->focused(), host_.Store().docs);
      break;
    case TreeKeyAction::kDeleteNodes:
      // Nodes only: their records stay and come back at the next rebuild.
      tree.model->DeleteSelectedNodes();
      hint_.Forget();
      break;
    case TreeKeyAction::kCopyCaption:
      // The caption of the node selected as the key arrives; the control
      // moves its selection afterwards.
      page_.search_row().search().TreeKeyCaption(tree.model->focused());
      break;
    case TreeKeyAction::kNone:
      break;
  }
}

bool DocTrees::TreeMouseDown(const Tree& tree, UINT msg, WPARAM keys, POINT at) {
  HWND hwnd = tree.view->hwnd();
  const Hit hit = HitTest(hwnd, at);
  TreeNode* node = NodeAt(tree, hit.item);
  if (msg == WM_RBUTTONDOWN) {
    // The menu that follows acts on the selection the press falls into, or
    // on the node under the pointer alone.
    tree.model->SelectForMenu(node);
    return false;
  }
  SearchPresenter& search = page_.search_row().search();
  search.HideResults();  // the tree's click
  host_.Factory().CancelHint();
  tree.model->Select(node, CtrlHeld(keys), ShiftHeld(keys));
  search.TreeLeftPress(node);
  // The expand button and empty space stay the control's; a press on a row
  // is ours, so the control does not undo the multiple selection.
  if (!node || (hit.flags & TVHT_ONITEMBUTTON)) return false;
  SetFocus(hwnd);
  return true;
}

void DocTrees::TreeDblClick(const Tree& tree, POINT at) {
  // Only a double-click on a row opens: never the node chosen earlier when
  // the click was on empty space or on an expand button.
  const Hit hit = HitTest(tree.view->hwnd(), at);
  if (!NodeAt(tree, hit.item) || (hit.flags & TVHT_ONITEMBUTTON)) return;
  DocOpener& opener = host_.Opener();
  if (tree.model == &page_.tv_path) {
    opener.OpenFolderNode(tree.model->focused());
  } else {
    opener.OpenSelectedTreeDoc(tree.model->focused(), host_.Store().docs);
  }
}

void DocTrees::TreeMouseMove(const Tree& tree, POINT at) {
  const Hit hit = HitTest(tree.view->hwnd(), at);
  const TreeHint::Update update =
      hint_.MouseMove(NodeAt(tree, hit.item), hit.flags, host_.Store().docs);
  if (update.cancel_hint) host_.Factory().CancelHint();
  if (update.set_hint) host_.Factory().SetHint(*tree.view, update.hint);
  if (update.panel) page_.LblHint.SetText(*update.panel);
}

void DocTrees::TreeSelectionChanged(const Tree& tree, const NMTREEVIEWW& change) {
  // The model moved the control's caret itself: it knows already.
  if (tree.mirror->OwnSelectionChange()) return;
  // The control moved its caret (the arrow keys, a letter typed): the model follows.
  const bool extend = change.action == TVC_BYKEYBOARD && (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  tree.model->Select(NodeAt(tree, change.itemNew.hItem), false, extend);
}

bool DocTrees::OnNotify(const NMHDR& header) {
  const Tree* tree = Find(header.hwndFrom);
  if (!tree) return false;
  const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
  switch (header.code) {
    case TVN_SELCHANGEDW:
      TreeSelectionChanged(*tree, change);
      return true;
    case TVN_ITEMEXPANDEDW:
      tree->model->NoteExpanded(NodeAt(*tree, change.itemNew.hItem),
                                (change.action & TVE_EXPAND) != 0);
      return true;
    default:
      return false;
  }
}

void DocTrees::PmDocTreePopup() {
  const TreeModel* tree = CurrentTree();
  host_.SetMenuVisible(Ui::MnOpenDIr,
                       ShowOpenDirEntry(tree ? tree->focused() : nullptr, host_.Store().docs));
}

void DocTrees::BtnZDDeleteAllDocsClick() {
  const lang::InterfaceTexts& texts = lang::Texts();
  // The box has no owner window.
  if (ShowMessageBox(host_.Deps().message_box, nullptr, texts.DeleteAllQuestion, texts.TipsCaption,
                     MB_YESNO) != IDYES) {
    return;
  }
  host_.History().DeleteAllDocs();
  AfterHistoryChange();
}

void DocTrees::ForgetAndStopRecordingItemClick(const TreeNode* node) {
  Recording* recording = host_.Recorder();
  DocStore& store = host_.Store();
  if (!node || !recording || node->data.index < 0 ||
      static_cast<size_t>(node->data.index) >= store.docs.size()) {
    return;
  }
  DocRecord target = store.docs[static_cast<size_t>(node->data.index)];
  // A folder group node stands for its folder, not for its first record.
  if (target.doctype == DocKind::kFolder && node->caption == target.RootPath)
    target.path = target.RootPath;
  const PrivacyRule rule = DropRuleFor(target);
  const std::vector<int32_t> positions = PositionsDroppedBy(rule, store.docs);
  const lang::InterfaceTexts& texts = lang::Texts();
  if (host_.ShowMessage(lang::FormatText(texts.ForgetQuestion, static_cast<int>(positions.size())),
                        texts.TipsCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return;
  }
  // The rule first: it holds for this run even when its file cannot be written.
  if (!recording->AddRule(rule)) {
    host_.ShowMessage(lang::FileListMessage(texts.FilesNotSaved, {recording->RulesPath()}),
                      texts.TipsCaption, MB_OK | MB_ICONWARNING);
  }
  page_.settings.privacy.ShowRules();
  host_.History().DeleteSelectDocs(positions);
  AfterHistoryChange();
}

void DocTrees::AfterHistoryChange() {
  hint_.Forget();
  page_.search_row().search().ClearResults();
}

bool DocTrees::OnMenuCommand(Ui entry) {
  DocStore& store = host_.Store();
  TreeModel* tree = CurrentTree();
  TreeNode* focused = tree ? tree->focused() : nullptr;
  switch (entry) {
    case Ui::MnOpenDIr:
      host_.Opener().OpenContainingFolder(focused, store.docs);
      return true;
    case Ui::MnRefresh:
      host_.Tracker().CheckAllDocs();
      return true;
    case Ui::StopProgramItem:  // "停止运行的软件" has no action
      return true;
    case Ui::MnExpandAll:
      expand_all_.Toggle({&page_.tv_docs, &page_.tv_path, &page_.tv_doc, &page_.tv_file});
      host_.SetMenuChecked(Ui::MnExpandAll, expand_all_.marked());
      return true;
    case Ui::CollapseAllItem:
      expand_all_.CollapseAll({&page_.tv_docs, &page_.tv_path, &page_.tv_doc, &page_.tv_file});
      host_.SetMenuChecked(Ui::MnExpandAll, false);
      return true;
    case Ui::MnDeleteSelected:
      if (tree) {
        // A group, or several nodes: one question naming how many records go.
        const lang::InterfaceTexts& texts = lang::Texts();
        host_.History().DeleteSelectedDoc(*tree, [&](size_t count) {
          const std::string question =
              lang::FormatText(texts.DeleteDocsQuestion, static_cast<int>(count));
          return host_.ShowMessage(question, texts.TipsCaption, MB_YESNO | MB_ICONQUESTION) ==
                 IDYES;
        });
        AfterHistoryChange();
      }
      return true;
    case Ui::ForgetAndStopRecordingItem:
      ForgetAndStopRecordingItemClick(focused);
      return true;
    case Ui::MnDeleteAllDocs:
      BtnZDDeleteAllDocsClick();
      return true;
    case Ui::MyMyLove:
      if (tree) AddNodesToFavourites(tree->SelectedOrFocused(), store.docs, store.MyLoveList);
      return true;
    case Ui::MnAddToRunList:
      if (tree) AddNodesToRunList(tree->SelectedOrFocused(), store.docs, store.MyRunList);
      return true;
    default:
      return false;
  }
}

}  // namespace zd
