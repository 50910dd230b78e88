#include "launch/last_session.h"

#include <gtest/gtest.h>

#include <optional>

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
  for (const char* file :
       {"C:\\Tools\\Editor.exe", "C:\\Program Files\\Zapdock\\zapdock.exe",
        "C:\\Windows\\notepad.exe", "C:\\Windows\\System32\\mmc.exe",
        "C:\\Windows\\System32\\rundll32.exe", "C:\\Windows\\System32\\ApplicationFrameHost.exe",
        "C:\\Windows\\System32\\dllhost.exe", "C:\\Windows\\System32\\Taskmgr.exe",
        "C:\\Program Files\\Java\\bin\\javaw.exe", "C:\\Downloads\\setupZD.exe",
        "C:\\Program Files\\App\\unins000.exe", "C:\\Windows\\Web\\report.exe.txt"}) {
    shell.AddFile(file);
  }
  shell.AddFolder("C:\\Work\\Proj");
  shell.AddFolder("C:\\My Docs");
  shell.AddFolder("C:\\Windows\\System32");
  const DocArray history = {
      {"", "C:\\Tools\\Editor.exe", "Notes - Editor", false, 2, "2024-01-01"},
      {"C:\\Work", "C:\\Work\\Proj", "C:\\Work\\Proj", false, 3, "2024-01-01"},
      {"example.com", "http://Example.com/Read.php?ID=7", "Read me", false, 1, "2024-01-01"},
  };
  // Each line of "lr.dat", and what the question offers for it (nullopt: left out).
  const std::pair<const char*, std::optional<SessionDoc>> cases[] = {
      {"C:\\Tools\\Editor.exe", SessionDoc{"C:\\Tools\\Editor.exe", "Notes - Editor"}},
      {"  c:\\tools\\editor.EXE ", std::nullopt},  // the same program again
      {"C:\\Program Files\\Zapdock\\ZAPDOCK.exe", std::nullopt},
      {"C:\\Gone\\old.exe", std::nullopt},
      {"file:///C:/Work/Proj", SessionDoc{"C:\\Work\\Proj", "Proj"}},
      {"file:///C:/Work/Proj", std::nullopt},
      {"file:///C:/My%20Docs", SessionDoc{"C:\\My Docs", "My Docs"}},
      {"http://Example.com/Read.php?ID=7",
       SessionDoc{"http://Example.com/Read.php?ID=7", "Read me"}},
      {"http://example.com/read.php?id=7", std::nullopt},
      {"example.org", SessionDoc{"example.org", "example.org"}},
      {"", std::nullopt},
      // Network places are not asked about (an offline server would keep the
      // window waiting): kept, the shell tells if they cannot be reached.
      {"\\\\server\\share\\plan.doc", SessionDoc{"\\\\server\\share\\plan.doc", "plan.doc"}},
      {"Z:\\team\\budget.xls", SessionDoc{"Z:\\team\\budget.xls", "budget.xls"}},
      // Programs that only ran something their arguments named, and those
      // of the Windows folder that open nothing by themselves.
      {"C:\\Windows\\System32\\mmc.exe", std::nullopt},
      {"C:\\Windows\\System32\\rundll32.exe", std::nullopt},
      {"C:\\Windows\\System32\\ApplicationFrameHost.exe", std::nullopt},
      {"C:\\Windows\\System32\\dllhost.exe", std::nullopt},
      {"C:\\Program Files\\Java\\bin\\javaw.exe", std::nullopt},
      {"C:\\Downloads\\setupZD.exe", std::nullopt},
      {"C:\\Program Files\\App\\unins000.exe", std::nullopt},
      {"C:\\Windows\\notepad.exe", SessionDoc{"C:\\Windows\\notepad.exe", "notepad.exe"}},
      {"C:\\Windows\\System32\\Taskmgr.exe",
       SessionDoc{"C:\\Windows\\System32\\Taskmgr.exe", "Taskmgr.exe"}},
      {"C:\\Windows\\System32", SessionDoc{"C:\\Windows\\System32", "System32"}},
      {"C:\\Windows\\Web\\report.exe.txt",
       SessionDoc{"C:\\Windows\\Web\\report.exe.txt", "report.exe.txt"}},
  };
  V last_run;
  std::vector<SessionDoc> expected;
  for (const auto& [line, offered] : cases) {
    last_run.push_back(line);
    if (offered) expected.push_back(*offered);
  }
  const std::vector<SessionDoc> docs =
      LastSessionDocs(last_run, "C:\\Program Files\\Zapdock\\zapdock.exe", shell, history);
  ASSERT_EQ(docs.size(), expected.size());
  for (size_t i = 0; i < docs.size(); ++i) {
    EXPECT_EQ(docs[i].path, expected[i].path) << i;
    EXPECT_EQ(docs[i].name, expected[i].name) << i;
  }
  EXPECT_EQ(SessionRowText(docs[0]), "Notes - Editor - C:\\Tools\\Editor.exe");
  EXPECT_EQ(SessionRowText(docs[4]), "example.org");

  // Opened as the tray opens documents: nothing recorded, the bare address shown first.
  MemoryMirror box;
  DocList recent{&box};
  V messages;
  DocOpener opener(shell, recent, {[&](const std::string& text) { messages.push_back(text); }, {}});
  V paths;
  for (const SessionDoc& doc : docs) paths.push_back(doc.path);
  shell.ClearLog();
  OpenLastSession(paths, opener);
  EXPECT_EQ(shell.calls().size(), docs.size());
  EXPECT_EQ(shell.calls()[1], "execute verb=open file=C:\\Work\\Proj\\ params= show=1");
  EXPECT_EQ(shell.calls()[5], "execute verb=open file=\\\\server\\share\\plan.doc params= show=1");
  EXPECT_EQ(messages, V{"http://example.org"});
  EXPECT_TRUE(recent.empty());
}

}  // namespace
}  // namespace zd
