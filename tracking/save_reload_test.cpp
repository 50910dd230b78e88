// What a run registers comes back whole at the next start: titles that hold
// control characters, programs and pages, through the exit save and the
// start-up load.
#include <gtest/gtest.h>

#include "store/doc_list.h"
#include "store/text_file.h"
#include "tracking/doc_kinds.h"
#include "tracking/tracker_harness_for_tests.h"

namespace zd {
namespace {

using testing_support::TrackerTest;
using V = std::vector<std::string>;

std::string Record(const DocRecord& doc) {
  return doc.path + " | " + doc.name + " | " + doc.RootPath + " | " +
         std::to_string(StoredNumber(doc.doctype)) + " | " + doc.date;
}

class SaveReloadTest : public TrackerTest {
 protected:
  // The next start on the same disk: settings, lists and history read again.
  void Restart() {
    store.docs.clear();
    store.settings.reset();
    for (TreeModel* tree : {&tv_docs, &tv_doc, &tv_app, &tv_path}) tree->Clear();
    for (DocList* list : {&store.MyLoveList, &store.MyRunList, &store.MyRecentList}) {
      list->Clear();
      list->set_loaded(false);
    }
    OpenSettingsFile(store);
    ListFileLoad(store.MyLoveList, files, *codec,
                 std::string(testing_support::kConfigDir) + kFavFileName);
    MakeTracker();
    tracker->LoadHistory(*store.settings);
    ListFileLoad(store.MyRunList, files, *codec,
                 std::string(testing_support::kConfigDir) + kRunFileName);
    ListFileLoad(store.MyRecentList, files, *codec,
                 std::string(testing_support::kConfigDir) + kRecentFileName);
  }
};

// A window or page title may hold CR, LF, tab, NUL or other control
// characters: they become blanks, and nothing splits into a phantom record.
TEST_F(SaveReloadTest, ControlCharactersInTitlesBecomeBlanksAndAddNoLines) {
  const std::string nul("\0", 1);
  const struct {
    const char* what;
    std::string title;
    std::string name;  // as registered and as reloaded
  } titles[] = {
      {"CR LF", "Report\r\nC:\\Phantom\\x.exe", "Report  C:\\Phantom\\x.exe"},
      {"LF", "two\nlines", "two lines"},
      {"CR", "old\rmac", "old mac"},
      {"tab", "a\tb", "a b"},
      {"NUL", "before" + nul + "after", "before after"},
      {"other control characters", "x\x01y\x1Fz\x7F", "x y z\x7F"},
      {"at the ends", "\r\n\tedges\r\n", "edges"},
  };
  ListFileLoad(store.MyLoveList, files, *codec,
               std::string(testing_support::kConfigDir) + kFavFileName);
  ListFileLoad(store.MyRunList, files, *codec,
               std::string(testing_support::kConfigDir) + kRunFileName);
  ListFileLoad(store.MyRecentList, files, *codec,
               std::string(testing_support::kConfigDir) + kRecentFileName);
  LoadLastRunList(store);
  int n = 0;
  for (const auto& t : titles) {
    const std::string page = "http://HOST/" + std::to_string(n);
    const std::string exe = "C:\\Apps\\app" + std::to_string(n++) + ".exe";
    shell.AddWindow(page, t.title);
    windows.AddWindow(t.title, exe);
    AddMyLove(store.MyLoveList, exe, "fav " + t.title + " end");
  }
  tracker->CheckAllDocs();
  ASSERT_EQ(store.docs.size(), 2 * std::size(titles));
  for (const DocRecord& doc : store.docs) {
    const auto& t = titles[std::stoi(doc.path.substr(doc.path.find_first_of("0123456789")))];
    EXPECT_EQ(doc.name, t.name) << t.what;
  }
  V records;
  for (const DocRecord& doc : store.docs) records.push_back(Record(doc));
  const V favourites = store.MyLoveList.Lines().ToVector();
  const V recent = store.MyRecentList.Lines().ToVector();
  for (const std::string& line : favourites) {
    EXPECT_EQ(BlankControlChars(line), line) << "a line is built without control characters";
  }

  const ExitSaveResult saved = RunExitSequence(store, WindowSettings{});
  ASSERT_TRUE(saved.all());
  Restart();
  V reloaded;
  for (const DocRecord& doc : store.docs) reloaded.push_back(Record(doc));
  EXPECT_EQ(reloaded, records);
  EXPECT_EQ(store.MyLoveList.Lines(), favourites);
  EXPECT_EQ(store.MyRecentList.Lines(), recent);
  EXPECT_EQ(store.MyLoveList.Mirror().RowCount(), favourites.size());
}

}  // namespace
}  // namespace zd
