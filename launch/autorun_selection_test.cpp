#include "launch/autorun_selection.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "lang/lang_tables.h"
#include "platform/fake_shell_launcher.h"
#include "store/text_file.h"
#include "tracking/doc_kinds.h"

namespace zd {
namespace {

DocArray Docs(size_t n) {
  DocArray docs(n);
  for (size_t i = 0; i < n; ++i) {
    docs[i].name = "doc" + std::to_string(i);
    docs[i].path = "C:\\d" + std::to_string(i) + ".exe";
    docs[i].doctype = DocKind::kProgram;
  }
  return docs;
}

TEST(AutorunSelection, OpeningWritesNothingAndShowsTheFlags) {
  DocArray docs = Docs(3);
  docs[1].selected = true;
  AutorunSelection window;
  window.Open(docs, /*query_auto_run_doc=*/true);
  EXPECT_EQ(window.selection(), (std::vector<bool>{false, true, false}));
  EXPECT_FALSE(window.not_query()) << "shows the opposite of the ask-first switch";
  window.Open(docs, false);
  EXPECT_TRUE(window.not_query());
}

TEST(AutorunSelection, SelectAllAndTheClickAfterIt) {
  AutorunSelection window;
  window.Open(Docs(3), false);
  window.SetSelectAll(true);
  EXPECT_EQ(window.selection(), (std::vector<bool>{true, true, true}));
  // A click after "select all": the box clears and takes every row with it.
  window.ClickRows({false, true, false});
  EXPECT_FALSE(window.select_all());
  EXPECT_EQ(window.selection(), (std::vector<bool>{false, false, false}));
  // The next click keeps what the list box made of it.
  window.ClickRows({false, true, false});
  EXPECT_EQ(window.selection(), (std::vector<bool>{false, true, false}));
}

TEST(AutorunSelection, OkSetsFlagsAndTheQuestionCancelChangesNothing) {
  DocArray docs = Docs(3);
  docs[1].selected = true;
  AutorunSelection window;
  window.Open(docs, true);
  window.ClickRows({true, false, true});
  window.SetNotQuery(true);
  const DocArray before = docs;
  // Cancel: not confirming leaves everything.
  EXPECT_EQ(docs[1].selected, before[1].selected);
  const AutorunSelection::Confirmed ok = window.Confirm(docs);
  EXPECT_EQ(ok.changed, (std::vector<size_t>{0, 1, 2}));
  EXPECT_FALSE(ok.query_auto_run_doc) << "\"不再跳出此提示框\" turns the question off";
  EXPECT_TRUE(docs[0].selected && !docs[1].selected && docs[2].selected);
  // Reopened in the same run: the choice shows again.
  window.Open(docs, ok.query_auto_run_doc);
  EXPECT_EQ(window.selection(), (std::vector<bool>{true, false, true}));
  // Records appended while the window was open are left alone.
  docs.push_back(docs[0]);
  docs.back().selected = false;
  window.SetSelectAll(true);
  window.Confirm(docs);
  EXPECT_FALSE(docs.back().selected);
}

TEST(AutorunSelection, StartOpensFlaggedDocumentsThenTheAutoRunListOnce) {
  DocArray docs = Docs(3);
  docs[2].selected = true;
  docs[0].selected = true;
  DocList run;
  AddMyRun(run, "c:\\D2.EXE", "again");  // already flagged, in another case: opened once
  AddMyRun(run, "\\\\srv\\share\\n.txt", "on a server");
  AddMyRun(run, "D:\\gone.txt", "gone");
  AddMyRun(run, "http://example.com/", "site");
  const std::vector<AutoRunDoc> chosen = AutoRunDocs(docs, run);
  EXPECT_EQ(chosen, (std::vector<AutoRunDoc>{{"C:\\d0.exe", "doc0"},
                                             {"C:\\d2.exe", "doc2"},
                                             {"http://example.com/", "site"},
                                             {"D:\\gone.txt", "gone"},
                                             {"\\\\srv\\share\\n.txt", "on a server"}}));
  EXPECT_TRUE(AutoRunDocs(Docs(2), DocList()).empty());

  FakeShellLauncher shell;
  shell.AddFile("C:\\d0.exe");
  shell.AddFile("C:\\d2.exe");
  DocList recent;
  std::vector<std::string> messages;
  DocOpener opener(shell, recent, {[&](const std::string& m) { messages.push_back(m); }, {}});
  OpenAutoRunDocs(chosen, opener, shell);
  EXPECT_TRUE(messages.empty()) << "a missing path is skipped without a message";
  EXPECT_EQ(shell.calls().size(), 4u) << "a server's path is left to the shell";
  EXPECT_TRUE(IsInRecentList(recent, "C:\\d0.exe") &&
              IsInRecentList(recent, "http://example.com/"));
  EXPECT_FALSE(IsInRecentList(recent, "D:\\gone.txt"));
}

TEST(AutoRunQuestion, NamesUpToTenDocumentsAndCountsTheRest) {
  for (int language : {0, 1, 2}) {
    lang::InterfaceTexts texts;
    lang::LoadLanguageTables(language, {}, texts);
    for (size_t count : {1u, 9u, 10u, 11u, 25u}) {
      SCOPED_TRACE(std::to_string(language) + ": " + std::to_string(count));
      std::vector<AutoRunDoc> docs;
      for (size_t i = 0; i < count; ++i) {
        // A name may look like another path: the line names the real one.
        std::string path = "\\\\host\\d" + std::to_string(i) + ".bat";
        std::string name = "C:\\报告" + std::to_string(i) + ".txt";
        docs.push_back({path, i == 3 ? std::string() : name});
      }
      const std::string text = AutoRunQuestionText(docs, texts.AutoRunQuestion, texts.AutoRunMore);
      const std::vector<std::string> lines = SplitLines(text);
      size_t at = 0;
      for (size_t i = 0; i < count; ++i) {
        const auto line = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
          return l.starts_with(docs[i].path) && l.find(docs[i].name) != std::string::npos;
        });
        EXPECT_EQ(line != lines.end(), i < kAutoRunNamesShown) << docs[i].path;
        if (line == lines.end()) continue;
        EXPECT_GE(static_cast<size_t>(line - lines.begin()), at) << "in their order";
        at = static_cast<size_t>(line - lines.begin()) + 1;
      }
      const std::string more = lang::FormatText(texts.AutoRunMore, static_cast<int>(count) - 10);
      EXPECT_EQ(text.find(more) != std::string::npos, count > kAutoRunNamesShown);
    }
  }
}

}  // namespace
}  // namespace zd
