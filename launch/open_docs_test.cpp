#include "launch/open_docs.h"

#include <gtest/gtest.h>

#include <functional>

#include "lang/lang_tables.h"
#include "platform/errors.h"
#include "platform/fake_shell_launcher.h"
#include "tracking/doc_kinds.h"

namespace zd {
namespace {

using V = std::vector<std::string>;

std::string Open(const std::string& file, const std::string& verb = "open", int show = 1,
                 const std::string& params = "") {
  return "execute verb=" + verb + " file=" + file + " params=" + params +
         " show=" + std::to_string(show);
}

// The shell, the recent list and the message box of one run.
class OpenDocsTest : public ::testing::Test {
 protected:
  OpenDocsTest() {
    lang::LoadLanguageTables(0, {}, lang::Texts());
    shell.AddDrive("D:\\", DriveKind::kFixed);
    shell.AddDrive("N:\\", DriveKind::kRemote);
    OpenHooks hooks;
    hooks.message = [this](const std::string& text) {
      messages.push_back(text);
      calls_when_shown.push_back(shell.calls().size());
    };
    hooks.show_hint = [this](const std::string& path) { hints.push_back(path); };
    opener = std::make_unique<DocOpener>(shell, recent, hooks);
  }
  void TearDown() override { EXPECT_EQ(CaughtFailureCount(), caught_at_start_); }

  // "f:PATH" a file, "d:PATH" a folder.
  void Declare(const V& paths) {
    for (const std::string& p : paths) {
      if (p.rfind("f:", 0) == 0) shell.AddFile(p.substr(2));
      if (p.rfind("d:", 0) == 0) shell.AddFolder(p.substr(2));
    }
  }

  FakeShellLauncher shell;
  MemoryMirror box;
  DocList recent{&box};
  V messages;
  std::vector<size_t> calls_when_shown;
  V hints;
  std::unique_ptr<DocOpener> opener;

 private:
  uint64_t caught_at_start_ = CaughtFailureCount();
};

TEST_F(OpenDocsTest, OpenDocPathByTheFormOfThePath) {
  struct Case {
    std::string path;
    bool report;
    V exists;
    V calls;
    V messages;
  };
  const Case cases[] = {
      {"www.example.com", true, {}, {Open("http://www.example.com")}, {"http://www.example.com"}},
      {"www.example.com/a.html",
       false,
       {},
       {Open("http://www.example.com/a.html")},
       {"http://www.example.com/a.html"}},
      {"C:\\gone\\a.txt", true, {}, {}, {"此路径不存在：C:\\gone\\a.txt"}},
      {"C:\\gone\\a.txt", false, {}, {}, {}},
      {"D:\\Work", false, {"d:D:\\Work"}, {Open("D:\\Work\\")}, {}},
      {"D:\\Work\\\\", false, {"d:D:\\Work"}, {Open("D:\\Work\\")}, {}},
      {"D:/Work", false, {"d:D:\\Work"}, {Open("D:/Work\\")}, {}},
      {"C:\\a.txt", true, {"f:C:\\a.txt"}, {Open("C:\\a.txt")}, {}},
      {"http://host/x", true, {}, {Open("http://host/x")}, {}},
      {"HTTPS://host/x?a=1", true, {}, {Open("HTTPS://host/x?a=1")}, {}},
      // A UNC path or a network drive is no host either, and the interface
      // thread never asks an offline server: the shell gets it as it stands.
      {"\\\\srv\\share\\x.txt", true, {}, {Open("\\\\srv\\share\\x.txt")}, {}},
      {"\\\\srv\\share", false, {"d:\\\\srv\\share"}, {Open("\\\\srv\\share")}, {}},
      {"N:\\gone.txt", true, {}, {Open("N:\\gone.txt")}, {}},
      {"n:/Docs", true, {"d:N:\\Docs"}, {Open("n:/Docs")}, {}},
      // Blanks make no host name.
      {"my notes", true, {}, {}, {"此路径不存在：my notes"}},
      {"", true, {}, {}, {}},
      {"  ", true, {}, {}, {}},
  };
  for (const Case& c : cases) {
    shell.ClearLog();
    messages.clear();
    Declare(c.exists);
    opener->OpenDocPath(c.path, c.report);
    EXPECT_EQ(shell.calls(), c.calls) << c.path;
    EXPECT_EQ(messages, c.messages) << c.path;
    for (const std::string& p : c.exists) shell.Remove(p.substr(2));
  }
  EXPECT_TRUE(recent.empty()) << "OpenDocPath records nothing";
}

TEST_F(OpenDocsTest, BareAddressIsShownBeforeItIsOpened) {
  opener->OpenDocPath("www.example.com", false);
  ASSERT_EQ(calls_when_shown, std::vector<size_t>({0}));
  EXPECT_EQ(shell.calls().size(), 1u);
}

TEST_F(OpenDocsTest, OpenAndRecordDocByNameAndForm) {
  const std::string explorer_line =
      Open("C:\\Windows\\explorer.exe", "open", 5, "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}");
  const std::string control_panel =
      "command \"C:\\Windows\\system32\\rundll32.exe\" shell32.dll,Control_RunDLL show=9";
  struct Case {
    std::string path, name;
    V exists;
    V calls;
    V messages;
    V recorded;  // the recent list afterwards
  };
  const Case cases[] = {
      {"http://h/a", "A", {}, {Open("http://h/a")}, {}, {"http://h/a*|*A"}},
      {"C:\\Old", "Old", {}, {}, {"本机已不存在此路径:C:\\Old"}, {}},
      {"C:\\Old", "Old", {"d:C:\\Old"}, {Open("C:\\Old\\")}, {}, {"C:\\Old\\*|*Old"}},
      // A folder whose name has a dot is a folder all the same.
      {"C:\\v1.2", "V", {"d:C:\\v1.2"}, {Open("C:\\v1.2\\")}, {}, {"C:\\v1.2\\*|*V"}},
      // A network path is not asked about: the shell gets it.
      {"\\\\srv\\gone", "g", {}, {Open("\\\\srv\\gone")}, {}, {"\\\\srv\\gone*|*g"}},
      // A file that is gone is said so, as a folder is, and not recorded.
      {"C:\\gone.txt", "G", {}, {}, {"本机已不存在此路径:C:\\gone.txt"}, {}},
      {"C:\\x\\gone.lnk", "L", {}, {}, {"本机已不存在此路径:C:\\x\\gone.lnk"}, {}},
      // What the shell could not open is not recorded.
      {"C:\\refused.txt", "R", {"f:C:\\refused.txt"}, {Open("C:\\refused.txt")}, {}, {}},
      // A file without an extension is opened, not reported as a vanished folder.
      {"C:\\src\\Makefile",
       "mk",
       {"f:C:\\src\\Makefile"},
       {Open("C:\\src\\Makefile")},
       {},
       {"C:\\src\\Makefile*|*mk"}},
      {"C:\\dir.v2\\readme",
       "r",
       {"f:C:\\dir.v2\\readme"},
       {Open("C:\\dir.v2\\readme")},
       {},
       {"C:\\dir.v2\\readme*|*r"}},
      {"C:\\x\\a.lnk",
       "L",
       {"f:C:\\x\\a.lnk"},
       {Open("C:\\x\\a.lnk", "")},
       {},
       {"C:\\x\\a.lnk*|*L"}},
      {"C:\\x\\a.LNK", "L", {"f:C:\\x\\a.LNK"}, {Open("C:\\x\\a.LNK")}, {}, {"C:\\x\\a.LNK*|*L"}},
      {"res://ieframe.dll/x.htm", "r", {}, {}, {}, {}},
      {"C:\\a.txt", "A", {"f:C:\\a.txt"}, {Open("C:\\a.txt")}, {}, {"C:\\a.txt*|*A"}},
      // Special places by name: discovery records them with Explorer's path.
      {"C:\\Windows\\explorer.exe",
       "我的电脑",
       {"f:C:\\Windows\\explorer.exe"},
       {explorer_line},
       {},
       {}},
      {"", "我的电脑", {}, {explorer_line}, {}, {}},
      {"", "桌面", {}, {"minimize-all"}, {}, {}},
      {" ", "网上邻居", {}, {"special 18"}, {}, {}},
      {"", "控制面板", {}, {control_panel}, {}, {}},
      {"C:\\WINDOWS\\Explorer.EXE",
       "控制面板",
       {"f:C:\\WINDOWS\\Explorer.EXE"},
       {control_panel},
       {},
       {}},
      // ... but a page, a program, a folder or any other path of its own
      // carrying such a name opens as itself.
      {"http://h/cp", "控制面板", {}, {Open("http://h/cp")}, {}, {"http://h/cp*|*控制面板"}},
      {"D:\\Desk", "桌面", {"d:D:\\Desk"}, {Open("D:\\Desk\\")}, {}, {"D:\\Desk\\*|*桌面"}},
      {"D:\\Desk\\todo.txt",
       "我的电脑",
       {"f:D:\\Desk\\todo.txt"},
       {Open("D:\\Desk\\todo.txt")},
       {},
       {"D:\\Desk\\todo.txt*|*我的电脑"}},
      {"whatever", "网上邻居", {}, {Open("whatever")}, {}, {"whatever*|*网上邻居"}},
      {"C:\\Tools\\cp.exe",
       "控制面板",
       {"f:C:\\Tools\\cp.exe"},
       {Open("C:\\Tools\\cp.exe")},
       {},
       {"C:\\Tools\\cp.exe*|*控制面板"}},
      {"whatever", "我的电脑 ", {}, {Open("whatever")}, {}, {"whatever*|*我的电脑 "}},
      {"", "A", {}, {}, {}, {}},
  };
  for (const Case& c : cases) {
    shell.ClearLog();
    messages.clear();
    recent.Clear();
    Declare(c.exists);
    shell.FailExecuteOf("C:\\refused.txt");
    opener->OpenAndRecordDoc(c.path, c.name);
    EXPECT_EQ(shell.calls(), c.calls) << c.path << " " << c.name;
    EXPECT_EQ(messages, c.messages) << c.path << " " << c.name;
    EXPECT_EQ(recent.Lines(), c.recorded) << c.path << " " << c.name;
    EXPECT_EQ(box.RowCount(), recent.size());
    for (const std::string& p : c.exists) shell.Remove(p.substr(2));
  }
}

TEST_F(OpenDocsTest, ReopeningMovesTheDocumentsOnlyLineToTheTop) {
  // The fake file system minds case: the other spelling is declared too.
  Declare({"f:C:\\a.txt", "f:c:\\A.TXT", "f:C:\\b.txt", "d:D:\\Work"});
  const auto tree = [&](const char* path, const char* name) {
    return [=, this] { opener->OpenAndRecordDoc(path, name); };
  };
  const auto remembered = [&](const char* path, const char* name) {
    return [=, this] { opener->OpenRememberedDoc(path, name, true); };
  };
  const std::pair<std::function<void()>, V> steps[] = {
      {tree("C:\\a.txt", "A"), {"C:\\a.txt*|*A"}},
      {tree("C:\\b.txt", "B"), {"C:\\b.txt*|*B", "C:\\a.txt*|*A"}},
      // The same document in another case: one line, on top.
      {tree("c:\\A.TXT", "A2"), {"c:\\A.TXT*|*A2", "C:\\b.txt*|*B"}},
      // A search result or a tray entry: opened as the path stands, then on top.
      {remembered("C:\\b.txt", "B"), {"C:\\b.txt*|*B", "c:\\A.TXT*|*A2"}},
      {remembered("D:\\Work", "W"), {"D:\\Work*|*W", "C:\\b.txt*|*B", "c:\\A.TXT*|*A2"}},
      {tree("D:\\Work", "W"), {"D:\\Work\\*|*W", "C:\\b.txt*|*B", "c:\\A.TXT*|*A2"}},
      // Gone, or refused by the shell: the list stays as it is.
      {remembered("C:\\gone.txt", "G"), {"D:\\Work\\*|*W", "C:\\b.txt*|*B", "c:\\A.TXT*|*A2"}},
      {[&] {
         shell.FailExecuteOf("C:\\a.txt");
         remembered("C:\\a.txt", "A")();
       },
       {"D:\\Work\\*|*W", "C:\\b.txt*|*B", "c:\\A.TXT*|*A2"}},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    steps[i].first();
    EXPECT_EQ(recent.Lines(), steps[i].second) << i;
    EXPECT_EQ(box.RowCount(), recent.size()) << i;
  }
  EXPECT_EQ(messages, V{"此路径不存在：C:\\gone.txt"});
  EXPECT_FALSE(opener->OpenRememberedDoc("C:\\gone.txt", "G", false));
}

TEST_F(OpenDocsTest, OpenListSelectionOpensTheCurrentRowsLine) {
  MemoryMirror fav_box;
  DocList favourites(&fav_box);
  favourites.ReplaceAll(
      {"file:///C:/My Docs/a.txt*|*a", "http://h/*|*H*|*x", "no separator", "*|*empty path"});
  Declare({"f:C:\\My Docs\\a.txt"});
  struct Case {
    std::optional<size_t> row;
    V calls;
    V recorded;
  };
  const Case cases[] = {
      {0, {Open("C:\\My Docs\\a.txt")}, {"C:\\My Docs\\a.txt*|*a"}},
      {1, {Open("http://h/")}, {"http://h/*|*H*|*x"}},
      {2, {}, {}},
      {3, {}, {}},
      {4, {}, {}},
      {std::nullopt, {}, {}},
  };
  for (const Case& c : cases) {
    shell.ClearLog();
    recent.Clear();
    opener->OpenListSelection(favourites, c.row);
    EXPECT_EQ(shell.calls(), c.calls) << c.row.value_or(99);
    EXPECT_EQ(recent.Lines(), c.recorded) << c.row.value_or(99);
  }
}

TEST_F(OpenDocsTest, TreeCommandsActOnTheFocusedNodesRecord) {
  DocArray docs(3);
  docs[0] = {"h", "http://h/a", "A page", false, DocKind::kWeb, "2024-01-01"};
  docs[1] = {"", "C:\\Tools\\a.exe", "工具", false, DocKind::kProgram, "2024-01-01"};
  docs[2] = {"D:\\W", "D:\\W\\x", "D:\\W\\x", false, DocKind::kFolder, "2024-01-01"};
  shell.AddFolder("D:\\W\\x");
  shell.AddFolder("C:\\Tools");
  auto node = [](int32_t index, const std::string& caption) {
    TreeNode n;
    n.caption = caption;
    n.data.index = index;
    return n;
  };
  const TreeNode web = node(0, "A page"), program = node(1, "工具"), folder = node(2, "D:\\W\\x"),
                 stray = node(9, "lost"), gone = node(2, "D:\\W\\gone");
  struct Case {
    std::function<void()> run;
    V calls;
    V hints;
    V messages;
    V recorded;
  };
  const Case cases[] = {
      {[&] { opener->OpenSelectedTreeDoc(&web, docs); },
       {Open("http://h/a")},
       {"http://h/a"},
       {},
       {"http://h/a*|*A page"}},
      // Enter on a folder node: the record's folder, recorded with its trailing "\".
      {[&] { opener->OpenSelectedTreeDoc(&folder, docs); },
       {Open("D:\\W\\x\\")},
       {"D:\\W\\x"},
       {},
       {"D:\\W\\x\\*|*D:\\W\\x"}},
      {[&] { opener->OpenSelectedTreeDoc(&stray, docs); }, {}, {}, {}, {}},
      {[&] { opener->OpenSelectedTreeDoc(nullptr, docs); }, {}, {}, {}, {}},
      // A double-click on a folder node: its caption, not recorded.
      {[&] { opener->OpenFolderNode(&folder); }, {Open("D:\\W\\x")}, {}, {}, {}},
      {[&] { opener->OpenFolderNode(&gone); }, {}, {}, {"此文件夹已不存在"}, {}},
      {[&] { opener->OpenFolderNode(nullptr); }, {}, {}, {}, {}},
      {[&] { opener->OpenContainingFolder(&program, docs); },
       {Open("C:\\Tools\\")},
       {"C:\\Tools\\a.exe"},
       {},
       {}},
      {[&] { opener->OpenContainingFolder(&stray, docs); }, {}, {}, {}, {}},
      {[&] { opener->OpenSpecialFolder(kCsidlDrives); }, {"special 17"}, {}, {}, {}},
      {[&] { opener->OpenInBrowser("www.a.com/x"); },
       {Open("IExplore", "open", 1, "http://www.a.com/x")},
       {},
       {},
       {}},
      {[&] { opener->OpenInBrowser("https://a.com"); },
       {Open("IExplore", "open", 1, "https://a.com")},
       {},
       {},
       {}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    shell.ClearLog();
    hints.clear();
    messages.clear();
    recent.Clear();
    cases[i].run();
    EXPECT_EQ(shell.calls(), cases[i].calls) << i;
    EXPECT_EQ(hints, cases[i].hints) << i;
    EXPECT_EQ(messages, cases[i].messages) << i;
    EXPECT_EQ(recent.Lines(), cases[i].recorded) << i;
  }
  // A program whose folder is gone: nothing, and nothing said.
  shell.Remove("C:\\Tools");
  shell.ClearLog();
  opener->OpenContainingFolder(&program, docs);
  EXPECT_TRUE(shell.calls().empty());
  EXPECT_TRUE(messages.empty());
}

TEST(OpenDocsPathFormsTest, ExtensionBareAddressFolderParts) {
  const std::pair<const char*, const char*> extensions[] = {
      {"C:\\a.txt", ".txt"}, {"C:\\a.b\\c", ""}, {"C:\\a", ""}, {"a.LNK", ".LNK"},
      {"x.y:z", ""},         {"C:\\a.", "."},    {"", ""},
  };
  for (const auto& [path, ext] : extensions) EXPECT_EQ(PathExtension(path), ext) << path;

  const std::pair<const char*, bool> bare[] = {
      {"www.a.com", true},   {"www.a.com/p/q.html", true}, {"localhost", true},   {"C:\\x", false},
      {"\\\\srv\\x", false}, {"//srv/x", false},           {"a b.com", false},    {"a\tb", false},
      {"", false},           {"http://a", false},          {"a.com:8080", false},
  };
  for (const auto& [path, is_bare] : bare) EXPECT_EQ(IsBareAddress(path), is_bare) << path;

  const std::pair<const char*, const char*> folders[] = {
      {"C:\\Tools\\a.exe", "C:\\Tools\\"},
      {"C:a.exe", "C:"},
      {"a.exe", ""},
      {"C:\\", "C:\\"},
  };
  for (const auto& [path, folder] : folders) EXPECT_EQ(ContainingFolder(path), folder) << path;

  const std::pair<const char*, const char*> to_open[] = {
      {"C:\\Work", "C:\\Work\\"},
      {" C:\\Work\\\\ ", "C:\\Work\\"},
      {"C:\\\\a\\\\\\b", "C:\\a\\b\\"},
      {"\\\\srv\\share", "\\\\srv\\share\\"},
      {"\\\\srv\\\\share\\", "\\\\srv\\share\\"},
      {"", ""},
  };
  for (const auto& [path, folder] : to_open) EXPECT_EQ(FolderPathToOpen(path), folder) << path;

  EXPECT_TRUE(IsWebAddress("HTTP://x"));
  EXPECT_FALSE(IsWebAddress("see https://x"));
  EXPECT_FALSE(IsWebAddress("C:\\http\\x"));
}

}  // namespace
}  // namespace zd
