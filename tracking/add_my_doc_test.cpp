// Registration of one document: the record, its tree nodes, its recent line
// and its settings keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "store/doc_list.h"
#include "tracking/doc_kinds.h"
#include "tracking/recording_tree_mirror_for_tests.h"
#include "tracking/tracker_harness_for_tests.h"

namespace zd {
namespace {

using testing_support::Outline;
using testing_support::SelectedImagesMatch;
using testing_support::TrackerTest;
using V = std::vector<std::string>;

class AddMyDocTest : public TrackerTest {};

TEST_F(AddMyDocTest, FirstPageOfAHostOpensAGroupAndTheNextJoinsIt) {
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://HOST/", "Home", "", DocKind::kWeb}, ""));
  EXPECT_EQ(Outline(tv_docs), V({"HOST [2] #0", "  Home [2] #0"}));
  EXPECT_EQ(Outline(tv_doc), V({"HOST [2] #0", "  Home [2] #0"}));
  const DocRecord& first = store.docs.at(0);
  EXPECT_EQ(first.path, "http://HOST/");
  EXPECT_EQ(first.name, "Home");
  EXPECT_EQ(first.RootPath, "HOST");
  EXPECT_EQ(first.doctype, DocKind::kWeb);
  EXPECT_EQ(first.date, testing_support::kToday);
  EXPECT_FALSE(first.selected);

  ASSERT_TRUE(
      tracker->AddMyDoc(FoundDoc{"http://HOST/news/a.html", "新闻 A", "", DocKind::kWeb}, ""));
  EXPECT_EQ(Outline(tv_docs), V({"HOST [2] #0", "  Home [2] #0", "  新闻 A [2] #1"}));
  EXPECT_EQ(Outline(tv_doc), V({"HOST [2] #0", "  Home [2] #0", "  新闻 A [2] #1"}));
  EXPECT_TRUE(tv_app.empty());
  EXPECT_TRUE(tv_path.empty());
  EXPECT_TRUE(SelectedImagesMatch(tv_docs) && SelectedImagesMatch(tv_doc));
}

TEST_F(AddMyDocTest, HostPageWithOrWithoutSlashGetsAChildLikeAnyPage) {
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://HOST/x.html", "X", "", DocKind::kWeb}, ""));
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://HOST", "Bare", "", DocKind::kWeb}, ""));
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://HOST/", "Slash", "", DocKind::kWeb}, ""));
  EXPECT_EQ(Outline(tv_doc), V({"HOST [2] #0", "  X [2] #0", "  Bare [2] #1", "  Slash [2] #2"}))
      << "the group node names the host; the host's own page is a page like any other";
  EXPECT_EQ(store.docs.size(), 3u);
}

TEST_F(AddMyDocTest, FolderIsGroupedUnderItsFirstLevelFolder) {
  ASSERT_TRUE(tracker->AddMyDoc(
      FoundDoc{"file:///C:/Windows/System32", "file:///C:/Windows/System32", "", DocKind::kWeb},
      ""));
  EXPECT_EQ(Outline(tv_docs), V({"C:\\Windows [0] #0", "  C:\\Windows\\System32 [0] #0"}));
  EXPECT_EQ(Outline(tv_path), Outline(tv_docs));
  EXPECT_TRUE(tv_doc.empty());
  const DocRecord& doc = store.docs.at(0);
  EXPECT_EQ(doc.doctype, DocKind::kFolder);
  EXPECT_EQ(doc.path, "C:\\Windows\\System32");
  EXPECT_EQ(doc.name, "C:\\Windows\\System32");
  EXPECT_EQ(doc.RootPath, "C:\\Windows");

  // The first-level folder itself joins the group without a node of its own.
  ASSERT_TRUE(tracker->AddMyDoc(
      FoundDoc{"file:///C:/Windows", "file:///C:/Windows", "", DocKind::kWeb}, ""));
  EXPECT_EQ(Outline(tv_path), V({"C:\\Windows [0] #0", "  C:\\Windows\\System32 [0] #0"}));
  EXPECT_EQ(store.docs.at(1).path, "C:\\Windows");
}

TEST_F(AddMyDocTest, FirstLevelFolderAloneGivesTheGroupNodeOnly) {
  ASSERT_TRUE(
      tracker->AddMyDoc(FoundDoc{"file:///D:/Music", "file:///D:/Music", "", DocKind::kWeb}, ""));
  EXPECT_EQ(Outline(tv_path), V({"D:\\Music [0] #0"}));
  EXPECT_EQ(Outline(tv_docs), V({"D:\\Music [0] #0"}));
}

TEST_F(AddMyDocTest, EveryProgramOpensItsOwnNodeAndIsRegisteredOnce) {
  windows.AddExistingPath("C:\\Tools\\a.exe");
  windows.AddExistingPath("C:\\Tools\\b.exe");
  ASSERT_TRUE(tracker->AddMyDoc(
      FoundDoc{"C:\\Tools\\a.exe", "Editor", "C:\\Tools\\a.exe", DocKind::kProgram}, ""));
  ASSERT_TRUE(tracker->AddMyDoc(
      FoundDoc{"C:\\Tools\\b.exe", "Editor", "C:\\Tools\\b.exe", DocKind::kProgram}, ""));
  EXPECT_EQ(Outline(tv_app), V({"Editor [12] #1", "Editor [11] #0"}));
  EXPECT_EQ(Outline(tv_docs), Outline(tv_app));
  EXPECT_EQ(store.docs.at(0).RootPath, "");
  EXPECT_EQ(store.docs.at(0).doctype, DocKind::kProgram);

  // A second window of a registered program adds nothing, whatever the case
  // its path is seen in; nor does a folder seen again in another case.
  EXPECT_FALSE(tracker->AddMyDoc(
      FoundDoc{"C:\\Tools\\a.exe", "Other title", "C:\\Tools\\a.exe", DocKind::kProgram}, ""));
  EXPECT_FALSE(tracker->AddMyDoc(
      FoundDoc{"c:\\TOOLS\\A.EXE", "Other title", "c:\\TOOLS\\A.EXE", DocKind::kProgram}, ""));
  EXPECT_EQ(store.docs.size(), 2u);
  EXPECT_EQ(tv_app.CountNodes(), 2u);
  ASSERT_TRUE(tracker->AddMyDoc(
      FoundDoc{"file:///C:/Work/Proj", "file:///C:/Work/Proj", "", DocKind::kWeb}, ""));
  EXPECT_FALSE(tracker->AddMyDoc(
      FoundDoc{"file:///c:/work/proj", "file:///c:/work/proj", "", DocKind::kWeb}, ""));
  // ... and another folder of the same group in another case joins the group.
  ASSERT_TRUE(tracker->AddMyDoc(
      FoundDoc{"file:///c:/WORK/Other", "file:///c:/WORK/Other", "", DocKind::kWeb}, ""));
  EXPECT_EQ(Outline(tv_path),
            V({"C:\\Work [0] #2", "  C:\\Work\\Proj [0] #2", "  c:\\WORK\\Other [0] #3"}));
}

// An empty address or name, a page of the browser's own, a drive root, an
// address without a root, a program file not registered as a program: no
// record, no node, no recent line.
TEST_F(AddMyDocTest, AddressesThatAreNeverRegistered) {
  windows.AddExistingPath("C:\\Tools\\a.exe");
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"http://HOST/p", "", false},
      {"http://HOST/p", "   ", false},
      {"C:\\Tools\\a.exe", " ", true},
      {"  ", "name", false},
      {"res://ieframe.dll/navcancl.htm", "Error", false},
      {"RES://IEFRAME.DLL/x.htm", "Error", false},
      {"file:///C:/", "file:///C:/", false},
      {"about:blank", "about:blank", false},
      {"C:\\Tools\\a.exe", "not as a program", false},
  };
  for (const auto& [address, name, program] : cases) {
    EXPECT_FALSE(tracker->AddMyDoc(FoundDoc{address, name, (program) ? address : std::string(),
                                            (program) ? DocKind::kProgram : DocKind::kWeb},
                                   ""))
        << address << " " << name;
  }
  EXPECT_TRUE(store.docs.empty());
  EXPECT_TRUE(tv_docs.empty() && tv_doc.empty() && tv_path.empty() && tv_app.empty());
  EXPECT_TRUE(store.MyRecentList.empty());
}

TEST_F(AddMyDocTest, AddressAndNameAreTrimmed) {
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"  http://HOST/a  ", "\t标题 ", "", DocKind::kWeb}, ""));
  EXPECT_EQ(store.docs.at(0).path, "http://HOST/a");
  EXPECT_EQ(store.docs.at(0).name, "标题");
  EXPECT_FALSE(tracker->AddMyDoc(FoundDoc{"http://HOST/a", "again", "", DocKind::kWeb}, ""));
}

TEST_F(AddMyDocTest, EncodedBlanksAreStoredAndComparedAsBlanks) {
  ASSERT_TRUE(
      tracker->AddMyDoc(FoundDoc{"http://HOST/my%20page.html", "Page", "", DocKind::kWeb}, ""));
  EXPECT_EQ(store.docs.at(0).path, "http://HOST/my page.html");
  EXPECT_FALSE(
      tracker->AddMyDoc(FoundDoc{"http://HOST/my page.html", "Page", "", DocKind::kWeb}, ""));
  EXPECT_FALSE(
      tracker->AddMyDoc(FoundDoc{"http://HOST/my%20page.html", "Page", "", DocKind::kWeb}, ""));
  EXPECT_TRUE(tracker->IsDocRegistered("http://HOST/my page.html"));
  EXPECT_FALSE(tracker->IsDocRegistered("http://HOST/my%20page.html"))
      << "the test itself does not decode";
}

// Every page has a node of its own under its host, whatever its scheme, the
// host's own page and a host with a single page included: the web tree as a
// walk over the records builds it (groups newest first, pages oldest first).
TEST_F(AddMyDocTest, EveryWebPageHasANodeOfItsOwnUnderItsHostWhateverItsScheme) {
  struct Case {
    const char* address;
    const char* title;
    bool recorded;
  } cases[] = {
      {"https://secure.example/deep/page", "Deep", true},
      {"https://secure.example/other", "Other", true},
      {"http://plain.example/", "Plain home", true},
      {"https://secure.example/", "Secure home", true},
      {"HTTPS://secure.example/upper", "Upper-case scheme", true},
      {"https://port.example:8443/x", "Port", true},
      {"https://alone.example/only", "The one page of its host", true},
      {"http://plain.example", "Bare host", true},
      {"https://secure.example/deep/page", "Seen again", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tracker->AddMyDoc(FoundDoc{c.address, c.title, "", DocKind::kWeb}, ""), c.recorded)
        << c.address;
  }
  V expected;
  std::vector<std::string> roots;
  for (const DocRecord& doc : store.docs) {
    if (std::find(roots.begin(), roots.end(), doc.RootPath) == roots.end()) {
      roots.insert(roots.begin(), doc.RootPath);
    }
  }
  for (const std::string& root : roots) {
    int32_t first = -1;
    V children;
    for (size_t i = 0; i < store.docs.size(); ++i) {
      if (store.docs[i].RootPath != root) continue;
      if (first < 0) first = static_cast<int32_t>(i);
      children.push_back("  " + store.docs[i].name + " [2] #" + std::to_string(i));
    }
    expected.push_back(root + " [2] #" + std::to_string(first));
    expected.insert(expected.end(), children.begin(), children.end());
  }
  EXPECT_EQ(store.docs.size(), 8u);
  EXPECT_EQ(roots.size(), 4u);
  EXPECT_EQ(Outline(tv_doc), expected);
  EXPECT_EQ(Outline(tv_docs), expected);
}

TEST_F(AddMyDocTest, NewGroupsGoOnTopAndChildrenOldestFirst) {
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://a.example/", "A", "", DocKind::kWeb}, ""));
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://b.example/1", "B1", "", DocKind::kWeb}, ""));
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://a.example/1", "A1", "", DocKind::kWeb}, ""));
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://a.example/2", "A2", "", DocKind::kWeb}, ""));
  ASSERT_TRUE(tracker->AddMyDoc(
      FoundDoc{"file:///C:/Work/Proj", "file:///C:/Work/Proj", "", DocKind::kWeb}, ""));
  EXPECT_EQ(Outline(tv_docs),
            V({"C:\\Work [0] #4", "  C:\\Work\\Proj [0] #4", "b.example [2] #1", "  B1 [2] #1",
               "a.example [2] #0", "  A [2] #0", "  A1 [2] #2", "  A2 [2] #3"}));
  EXPECT_EQ(Outline(tv_doc), V({"b.example [2] #1", "  B1 [2] #1", "a.example [2] #0", "  A [2] #0",
                                "  A1 [2] #2", "  A2 [2] #3"}));
}

TEST_F(AddMyDocTest, HostsDifferingInCaseAreTwoGroupsAndAJoinTakesTheFirstMatch) {
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://HOST/", "Upper", "", DocKind::kWeb}, ""));
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://host/", "Lower", "", DocKind::kWeb}, ""));
  EXPECT_EQ(Outline(tv_doc), V({"host [2] #1", "  Lower [2] #1", "HOST [2] #0", "  Upper [2] #0"}));
  // The group node is looked up ignoring case: the first in tree order wins,
  // which is the newer group.
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://HOST/p", "P", "", DocKind::kWeb}, ""));
  EXPECT_EQ(Outline(tv_doc),
            V({"host [2] #1", "  Lower [2] #1", "  P [2] #2", "HOST [2] #0", "  Upper [2] #0"}));
}

TEST_F(AddMyDocTest, RemovedGroupNodeLeavesLaterChildrenAtTheTopLevel) {
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://HOST/", "Home", "", DocKind::kWeb}, ""));
  tv_doc.Delete(tv_doc.roots().front().get());
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://HOST/a", "A", "", DocKind::kWeb}, ""));
  EXPECT_EQ(Outline(tv_doc), V({"A [2] #1"}));
  EXPECT_EQ(Outline(tv_docs), V({"HOST [2] #0", "  Home [2] #0", "  A [2] #1"}));

  ASSERT_TRUE(
      tracker->AddMyDoc(FoundDoc{"file:///C:/Work", "file:///C:/Work", "", DocKind::kWeb}, ""));
  tv_path.Clear();
  ASSERT_TRUE(tracker->AddMyDoc(
      FoundDoc{"file:///C:/Work/Sub", "file:///C:/Work/Sub", "", DocKind::kWeb}, ""));
  EXPECT_EQ(Outline(tv_path), V({"C:\\Work\\Sub [0] #3"}));
}

TEST_F(AddMyDocTest, JoiningSearchesAndRevealsTheGroupInThreeTrees) {
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://HOST/", "Home", "", DocKind::kWeb}, ""));
  ASSERT_TRUE(
      tracker->AddMyDoc(FoundDoc{"file:///C:/HOST/x", "file:///C:/HOST/x", "", DocKind::kWeb}, ""));
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://HOST/a", "A", "", DocKind::kWeb}, ""));
  testing_support::RecordingTreeMirror docs_view, doc_view, path_view;
  tv_docs.SetMirror(&docs_view);
  tv_doc.SetMirror(&doc_view);
  tv_path.SetMirror(&path_view);
  docs_view.events.clear();
  doc_view.events.clear();
  path_view.events.clear();
  // A child captioned like the root comes after the group in tree order.
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://HOST/b", "host", "", DocKind::kWeb}, ""));
  EXPECT_EQ(doc_view.events, V({"show HOST", "insert host in HOST after A"}));
  EXPECT_EQ(docs_view.events, V({"show HOST", "insert host in HOST after A"}));
  // The folder tree is searched too; its child C:\HOST\x does not match.
  EXPECT_TRUE(path_view.events.empty());
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://HOST/c", "C", "", DocKind::kWeb}, ""));
  EXPECT_EQ(Outline(tv_doc),
            V({"HOST [2] #0", "  Home [2] #0", "  A [2] #2", "  host [2] #3", "  C [2] #4"}));
  tv_docs.SetMirror(nullptr);
  tv_doc.SetMirror(nullptr);
  tv_path.SetMirror(nullptr);
}

TEST_F(AddMyDocTest, JoiningRevealsAMatchingNodeInAnotherKindsTree) {
  // A folder whose group caption equals a host ignoring case: a page of that
  // host scrolls the folder tree to it, and adds nothing there.
  ASSERT_TRUE(
      tracker->AddMyDoc(FoundDoc{"file:///C:/X/y", "file:///C:/X/y", "", DocKind::kWeb}, ""));
  testing_support::RecordingTreeMirror path_view;
  tv_path.SetMirror(&path_view);
  path_view.events.clear();
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://c:\\x/page", "Page", "", DocKind::kWeb}, ""));
  EXPECT_EQ(path_view.events, V({"show C:\\X"}));
  EXPECT_EQ(Outline(tv_path), V({"C:\\X [0] #0", "  C:\\X\\y [0] #0"}));
  tv_path.SetMirror(nullptr);
}

TEST_F(AddMyDocTest, DatesFromTheCallerAreKeptAndTodayOtherwise) {
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://HOST/a", "A", "", DocKind::kWeb}, "2019-01-02"));
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://HOST/b", "B", "", DocKind::kWeb}, ""));
  EXPECT_EQ(store.docs.at(0).date, "2019-01-02");
  EXPECT_EQ(store.docs.at(1).date, testing_support::kToday);
}

TEST_F(AddMyDocTest, RecentLineAndSettingsKeysFollowTheRecord) {
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://HOST/a%20b", " Title ", "", DocKind::kWeb}, ""));
  ASSERT_TRUE(tracker->AddMyDoc(
      FoundDoc{"file:///C:/Work/Proj", "file:///C:/Work/Proj", "", DocKind::kWeb}, "2020-02-02"));
  // The recent list strips the file prefix and keeps the slashes.
  EXPECT_EQ(store.MyRecentList.Lines(),
            V({"C:/Work/Proj*|*C:/Work/Proj", "http://HOST/a b*|*Title"}));
  EXPECT_EQ(DocKey("name", 0), "Title");
  EXPECT_EQ(DocKey("path", 0), "http://HOST/a b");
  EXPECT_EQ(DocKey("RootPath", 0), "HOST");
  EXPECT_EQ(DocKey("doctype", 0), "1");
  EXPECT_EQ(DocKey("date", 0), testing_support::kToday);
  EXPECT_EQ(DocKey("selected", 0), "0");
  EXPECT_EQ(DocKey("name", 1), "file:///C:/Work/Proj") << "a folder stores its address as name";
  EXPECT_EQ(DocKey("path", 1), "file:///C:\\Work\\Proj");
  EXPECT_EQ(DocKey("RootPath", 1), "C:\\Work");
  EXPECT_EQ(DocKey("doctype", 1), "3");
  EXPECT_EQ(DocKey("date", 1), "2020-02-02");
  EXPECT_EQ(files.WriteCount(SettingsPath()), 2) << "one write per registration";
}

TEST_F(AddMyDocTest, RecentListKeepsAnExistingLineForTheSamePath) {
  AddMyRecent(store.MyRecentList, "http://HOST/a", "old name");
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://HOST/a", "new name", "", DocKind::kWeb}, ""));
  EXPECT_EQ(store.MyRecentList.Lines(), V({"http://HOST/a*|*old name"}));
}

// A program whose icon the image list refuses gets the built-in program
// image and everything else a program gets: nodes, recent line and keys, so
// the records after it keep their positions and the next start finds them.
TEST_F(AddMyDocTest, RefusedIconGetsTheBuiltInImageAndLeavesNoHole) {
  windows.AddExistingPath("C:\\Tools\\bad.exe");
  windows.AddExistingPath("C:\\Tools\\good.exe");
  icons.FailFor("C:\\Tools\\bad.exe");
  EXPECT_TRUE(tracker->AddMyDoc(
      FoundDoc{"C:\\Tools\\bad.exe", "Bad", "C:\\Tools\\bad.exe", DocKind::kProgram}, ""));
  ASSERT_TRUE(tracker->AddMyDoc(
      FoundDoc{"C:\\Tools\\good.exe", "Good", "C:\\Tools\\good.exe", DocKind::kProgram}, ""));
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://HOST/", "Home", "", DocKind::kWeb}, ""));
  EXPECT_EQ(Outline(tv_app), V({"Good [11] #1", "Bad [10] #0"}));
  EXPECT_EQ(Outline(tv_docs), V({"HOST [2] #2", "  Home [2] #2", "Good [11] #1", "Bad [10] #0"}));
  EXPECT_EQ(store.MyRecentList.Lines(),
            V({"http://HOST/*|*Home", "C:\\Tools\\good.exe*|*Good", "C:\\Tools\\bad.exe*|*Bad"}));
  // The refused position is used by the next icon.
  EXPECT_EQ(icons.insertions(),
            (std::vector<std::pair<std::string, int>>{{"C:\\Tools\\good.exe", 11}}));
  const V paths = {"C:\\Tools\\bad.exe", "C:\\Tools\\good.exe", "http://HOST/"};
  for (size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(DocKey("path", i), paths[i]) << i;

  // The next start finds all three.
  store.docs.clear();
  for (TreeModel* tree : {&tv_docs, &tv_doc, &tv_app, &tv_path}) tree->Clear();
  store.settings.reset();
  OpenSettingsFile(store);
  MakeTracker();
  tracker->LoadHistory(*store.settings);
  EXPECT_EQ(Paths(), paths);
}

TEST_F(AddMyDocTest, ProgramIconsLandFromElevenUp) {
  for (int i = 1; i <= 5; ++i) {
    std::string exe = "C:\\Apps\\app";
    exe += std::to_string(i);
    exe += ".exe";
    windows.AddExistingPath(exe);
    ASSERT_TRUE(
        tracker->AddMyDoc(FoundDoc{exe, "App " + std::to_string(i), exe, DocKind::kProgram}, ""));
  }
  EXPECT_EQ(tracker->AppImageCounter(), 15);
  ASSERT_EQ(icons.insertions().size(), 5u);
  EXPECT_EQ(icons.insertions().front().second, 11);
  EXPECT_EQ(icons.insertions().back(), (std::pair<std::string, int>{"C:\\Apps\\app5.exe", 15}));
  EXPECT_EQ(tv_app.roots().front()->caption, "App 5");
  EXPECT_EQ(tv_app.roots().front()->image, 15);
  EXPECT_EQ(tv_docs.roots().front()->image, 15);
}

TEST_F(AddMyDocTest, ProgramImagesOfMissingFilesAndSpecialPlaces) {
  windows.AddExistingPath("C:\\WINDOWS\\explorer.exe");
  EXPECT_EQ(tracker->GetAppImageIndex("C:\\WINDOWS\\explorer.exe", "我的电脑"), 6);
  EXPECT_EQ(tracker->GetAppImageIndex("C:\\WINDOWS\\explorer.exe", "桌面"), 9);
  EXPECT_EQ(tracker->GetAppImageIndex("C:\\WINDOWS\\explorer.exe", "网上邻居"), 5);
  EXPECT_EQ(tracker->GetAppImageIndex("C:\\WINDOWS\\explorer.exe", "控制面板"), 5);
  EXPECT_EQ(tracker->GetAppImageIndex("C:\\WINDOWS\\explorer.exe", "我的文档"), 8);
  EXPECT_TRUE(icons.insertions().empty());
  EXPECT_EQ(tracker->AppImageCounter(), 0);
  windows.RemoveExistingPath("C:\\WINDOWS\\explorer.exe");
  EXPECT_EQ(tracker->GetAppImageIndex("C:\\WINDOWS\\explorer.exe", "我的电脑"), 1);
  EXPECT_EQ(tracker->GetAppImageIndex("C:\\Gone\\x.exe", "X"), 1);
  EXPECT_EQ(icons.calls(), 0);
}

TEST_F(AddMyDocTest, SpecialPlaceImagesFollowTheInterfaceLanguage) {
  ASSERT_TRUE(lang::LoadLanguageTables(2, {}, lang::Texts()));
  windows.AddExistingPath("C:\\WINDOWS\\explorer.exe");
  EXPECT_EQ(tracker->GetAppImageIndex("C:\\WINDOWS\\explorer.exe", "My Computer"), 6);
  EXPECT_EQ(tracker->GetAppImageIndex("C:\\WINDOWS\\explorer.exe", "desktop"), 9);
  EXPECT_EQ(tracker->GetAppImageIndex("C:\\WINDOWS\\explorer.exe", "Desktop"), 11)
      << "names compare case-sensitively";
  EXPECT_EQ(tracker->GetAppImageIndex("C:\\WINDOWS\\explorer.exe", "我的电脑"), 12);
}

TEST_F(AddMyDocTest, IndexFollowsAppendsAndWholesaleChanges) {
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://HOST/a", "A", "", DocKind::kWeb}, ""));
  EXPECT_TRUE(tracker->IsDocRegistered("http://HOST/a"));
  EXPECT_TRUE(tracker->IsRootRegistered(" HOST "));
  EXPECT_FALSE(tracker->IsRootRegistered("host"));

  // Records appended behind the tracker's back are seen.
  DocRecord extra;
  extra.path = "C:\\Extra";
  extra.RootPath = "C:\\Extra";
  extra.doctype = DocKind::kFolder;
  store.docs.push_back(extra);
  EXPECT_TRUE(tracker->IsDocRegistered("file:///C:/Extra"));

  // A replaced history is seen after RebuildIndex.
  DocArray replaced(2);
  replaced[0].path = "http://other/";
  replaced[0].RootPath = "other";
  store.docs = replaced;
  tracker->RebuildIndex();
  EXPECT_FALSE(tracker->IsDocRegistered("http://HOST/a"));
  EXPECT_TRUE(tracker->IsDocRegistered("http://other/"));
  EXPECT_TRUE(tracker->IsRootRegistered("other"));

  // An emptied history is seen without help.
  store.docs.clear();
  EXPECT_FALSE(tracker->IsDocRegistered("http://other/"));
  EXPECT_TRUE(tracker->AddMyDoc(FoundDoc{"http://other/", "again", "", DocKind::kWeb}, ""));
}

class ThrowingMirror : public TreeMirror {
 public:
  void NodeInserted(const TreeNode&, const TreeNode*, const TreeNode*) override {
    throw std::runtime_error("control refused the node");
  }
  void NodeDeleted(const TreeNode&) override {}
  void Cleared() override {}
  void NodeExpanded(const TreeNode&, bool) override {}
  void NodeMadeVisible(const TreeNode&) override {}
};

TEST_F(AddMyDocTest, FailureInsideIsSwallowedAndTheRecordCounts) {
  expect_caught = true;
  ThrowingMirror mirror;
  tv_docs.SetMirror(&mirror);
  EXPECT_TRUE(tracker->AddMyDoc(FoundDoc{"http://HOST/a", "A", "", DocKind::kWeb}, ""));
  EXPECT_EQ(store.docs.size(), 1u);
  EXPECT_TRUE(store.MyRecentList.empty()) << "the registration ended at the failure";
  EXPECT_FALSE(tracker->AddMyDoc(FoundDoc{"http://HOST/a", "A", "", DocKind::kWeb}, ""));
  tv_docs.SetMirror(nullptr);
}

TEST_F(AddMyDocTest, AddAppDocSkipsRegisteredPaths) {
  windows.AddExistingPath("C:\\Tools\\a.exe");
  tracker->AddAppDoc(FoundDoc{"C:\\Tools\\a.exe", "A", "C:\\Tools\\a.exe", DocKind::kProgram});
  tracker->AddAppDoc(
      FoundDoc{"C:\\Tools\\a.exe", "A again", "C:\\Tools\\a.exe", DocKind::kProgram});
  ASSERT_EQ(store.docs.size(), 1u);
  EXPECT_EQ(store.docs[0].name, "A");
  EXPECT_EQ(store.docs[0].date, testing_support::kToday);
}

}  // namespace
}  // namespace zd
