#include "launch/last_session.h"

#include <gtest/gtest.h>

#include "lang/lang_tables.h"
#include "platform/fake_shell_launcher.h"
#include "store/doc_list.h"

namespace zd {
namespace {

using V = std::vector<std::string>;

TEST(LastSession, EachPlaceOnceWithoutThisProgramOrWhatIsGone) {
  lang::LoadLanguageTables(0, {}, lang::Texts());
  FakeShellLauncher shell;
  shell.AddDrive("Z:\\", DriveKind::kRemote);
  for (const char* file : {"C:\\Tools\\Editor.exe", "C:\\Program Files\\Zapdock\\zapdock.exe",
                           "C:\\Windows\\notepad.exe", "C:\\Windows\\System32\\mmc.exe",
                           "C:\\Windows\\System32\\sihost.exe", "C:\\Java\\bin\\javaw.exe",
                           "C:\\Downloads\\setupZD.exe"}) {
    shell.AddFile(file);
  }
  shell.AddFolder("C:\\Work\\Proj");
  shell.AddFolder("C:\\My Docs");
  const DocArray history = {
      {"", "C:\\Tools\\Editor.exe", "Notes - Editor", false, DocKind::kProgram, ""},
      {"C:\\Work", "C:\\Work\\Proj", "C:\\Work\\Proj", false, DocKind::kFolder, ""}};
  const V last_run = {
      "C:\\Tools\\Editor.exe",
      "  c:\\tools\\editor.EXE ",  // the same program again
      "C:\\Program Files\\Zapdock\\ZAPDOCK.exe",
      "C:\\Gone\\old.exe",
      "file:///C:/Work/Proj",
      "file:///C:/Work/Proj",
      "file:///C:/My%20Docs",
      "http://Example.com/Read.php?ID=7",
      "http://example.com/read.php?id=7",
      "example.org",
      "",
      // Network places are not asked about (an offline server would keep
      // the window waiting): kept, the shell tells if they cannot be reached.
      "\\\\server\\share\\plan.doc",
      "Z:\\team\\budget.xls",
      // Programs that only ran what their arguments named, and those of the
      // Windows folder that open nothing by themselves.
      "C:\\Windows\\System32\\mmc.exe",
      "C:\\Windows\\System32\\sihost.exe",
      "C:\\Java\\bin\\javaw.exe",
      "C:\\Downloads\\setupZD.exe",
      "C:\\Windows\\notepad.exe",
  };
  const std::vector<SessionDoc> docs =
      LastSessionDocs(last_run, "C:\\Program Files\\Zapdock\\zapdock.exe", shell, history);
  V rows, paths;
  for (const SessionDoc& doc : docs) rows.push_back(SessionRowText(doc)), paths.push_back(doc.path);
  EXPECT_EQ(rows, V({"Notes - Editor - C:\\Tools\\Editor.exe", "Proj - C:\\Work\\Proj",
                     "My Docs - C:\\My Docs", "http://Example.com/Read.php?ID=7", "example.org",
                     "plan.doc - \\\\server\\share\\plan.doc", "budget.xls - Z:\\team\\budget.xls",
                     "notepad.exe - C:\\Windows\\notepad.exe"}));

  // Opened as the tray opens documents: nothing recorded, the bare address shown first.
  MemoryMirror box;
  DocList recent{&box};
  V messages;
  DocOpener opener(shell, recent, {[&](const std::string& text) { messages.push_back(text); }, {}});
  shell.ClearLog();
  OpenLastSession(paths, opener);
  EXPECT_EQ(shell.calls().size(), docs.size());
  EXPECT_EQ(shell.calls()[1], "execute verb=open file=C:\\Work\\Proj\\ params= show=1");
  EXPECT_EQ(messages, V{"http://example.org"});
  EXPECT_TRUE(recent.empty());
}

}  // namespace
}  // namespace zd
