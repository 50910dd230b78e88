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
  shell.AddFile("C:\\Tools\\Editor.exe");
  shell.AddFolder("C:\\Work\\Proj");
  shell.AddFolder("C:\\My Docs");
  shell.AddFile("C:\\Program Files\\Zapdock\\zapdock.exe");
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
  };
  const V docs = LastSessionDocs(last_run, "C:\\Program Files\\Zapdock\\zapdock.exe", shell);
  EXPECT_EQ(docs, V({"C:\\Tools\\Editor.exe", "C:\\Work\\Proj", "C:\\My Docs",
                     "http://Example.com/Read.php?ID=7", "example.org"}));

  // Opened as the tray opens documents: nothing recorded, the bare address shown first.
  MemoryMirror box;
  DocList recent{&box};
  V messages;
  DocOpener opener(shell, recent, {[&](const std::string& text) { messages.push_back(text); }, {}});
  OpenLastSession(docs, opener);
  EXPECT_EQ(shell.calls().size(), docs.size());
  EXPECT_EQ(shell.calls()[1], "execute verb=open file=C:\\Work\\Proj\\ params= show=1");
  EXPECT_EQ(messages, V{"http://example.org"});
  EXPECT_TRUE(recent.empty());
}

}  // namespace
}  // namespace zd
