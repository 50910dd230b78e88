#include "app/application.h"

#include <gtest/gtest.h>

#include "lang/lang_tables.h"
#include "platform/fake_files.h"
#include "platform/fake_icon_source.h"
#include "platform/fake_shared_files.h"
#include "platform/fake_shell_launcher.h"
#include "platform/fake_shell_windows.h"
#include "platform/fake_window_system.h"
#include "store/doc_list.h"
#include "store/program_files.h"

namespace zd {
namespace {

constexpr char kDir[] = "C:\\MrxConfig\\";

// The program's runs, one after the other, on one configuration folder and
// one desktop: each run is an Application as the window makes it.
class ApplicationTest : public ::testing::Test {
 protected:
  ApplicationTest() {
    lang::LoadLanguageTables(0, {}, lang::Texts());
    files.AddDrive("C:\\", DriveKind::kFixed);
    files.AddDirectory(kDir);
  }

  // A start, up to the window being shown.
  Application& Start() {
    app = std::make_unique<Application>(&files, codec.get());
    app->store().ConfigDir = kDir;
    for (TreeModel& tree : trees) tree.Clear();
    AppServices services;
    services.windows = &windows;
    services.shell = &shell;
    services.shared_files = &shared;
    services.launcher = &launcher;
    AppHooks hooks;
    hooks.pump = [this] {
      if (++pumps == exit_at_pump) EXPECT_TRUE(app->ExitDuringLoad());
    };
    hooks.today = [this] { return today; };
    app->StartServices(TrackerTrees{&trees[0], {&trees[1], &trees[2], &trees[3], &trees[4]}},
                       &icons, std::move(services), std::move(hooks));
    app->ReadStartFiles();
    pumps = 0;
    return *app;
  }
  std::string Path(const char* name) const { return std::string(kDir) + name; }
  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (const DocRecord& doc : app->store().docs) paths.push_back(doc.path);
    return paths;
  }

  FakeFiles files;
  std::unique_ptr<AnsiCodec> codec = MakeCodec(936);
  FakeWindowSystem windows;
  FakeShellWindows shell;
  FakeSharedFiles shared;
  FakeShellLauncher launcher;
  FakeIconSource icons;
  TreeModel trees[5] = {TreeModel{"TVDocs"}, TreeModel{"TVDoc"}, TreeModel{"TVApp"},
                        TreeModel{"TVPath"}, TreeModel{"TVFile"}};
  std::unique_ptr<Application> app;
  std::string today = "2024-05-01";
  int pumps = 0;
  int exit_at_pump = -1;
};

// A user's weeks: every day a start, a program seen, a favourite added, the
// exit; the next start has all of it, also after a day whose favourites
// could not be saved (that day's are lost, the rest stays).
TEST_F(ApplicationTest, EachStartHasWhatTheRunsBeforeItSaved) {
  std::vector<std::string> programs, favourites;
  for (int day = 1; day <= 8; ++day) {
    Application& a = Start();
    const FirstLoadResult loaded = a.FirstLoad();
    a.FinishStart(false, false, nullptr);
    EXPECT_TRUE(loaded.whole && !loaded.ended && loaded.unread.empty()) << day;
    EXPECT_EQ(Paths(), programs) << day;
    std::vector<std::string> listed;
    for (const std::string_view line : a.store().MyLoveList.Lines()) listed.emplace_back(line);
    ASSERT_EQ(listed.size(), favourites.size()) << day;

    today = "2024-05-0" + std::to_string(day);
    const std::string program = "C:\\Tools\\tool" + std::to_string(day) + ".exe";
    windows.AddWindow("Day " + std::to_string(day), program);
    a.tracker().CheckAllDocs();
    programs.push_back(program);
    AddMyLove(a.store().MyLoveList, "C:\\fav" + std::to_string(day), "fav");
    const bool fav_fails = day == 5;
    if (fav_fails) files.FailWritesTo(Path(kFavFileName));
    const std::optional<ExitSaveResult> saved = a.SaveAtExit(WindowSettings{});
    ASSERT_TRUE(saved) << day;
    EXPECT_EQ(saved->unsaved,
              fav_fails ? std::vector<std::string>{Path(kFavFileName)} : std::vector<std::string>{})
        << day;
    if (fav_fails) {
      files.ClearFailures();
    } else {
      favourites.push_back("C:\\fav" + std::to_string(day));
    }
    EXPECT_FALSE(a.SaveAtExit(WindowSettings{})) << "the exit save runs once";
    app.reset();
  }
}

// "退出" during the load: it ends at its next step, opens nothing, and writes
// back no list it did not read; what it read is saved.
TEST_F(ApplicationTest, AnExitDuringTheLoadEndsItThere) {
  {
    Application& a = Start();
    a.FirstLoad();
    a.FinishStart(false, false, nullptr);
    for (int i = 0; i < 3; ++i) windows.AddWindow("W", "C:\\T\\p" + std::to_string(i) + ".exe");
    a.tracker().CheckAllDocs();
    a.SaveAtExit(WindowSettings{});
    app.reset();
  }
  launcher.AddFile("C:\\Work\\plan.txt");
  files.PutFile(Path(kRunFileName), "C:\\Work\\plan.txt*|*plan\r\n");
  files.PutFile(Path(kRecentFileName), "C:\\Work\\old.txt*|*old\r\n");
  for (const int stop : {1, 2, 3}) {
    SCOPED_TRACE(stop);
    Application& a = Start();
    EXPECT_FALSE(a.ExitDuringLoad()) << "no load runs yet";
    exit_at_pump = stop;
    const int run_writes = files.WriteCount(Path(kRunFileName));
    const FirstLoadResult loaded = a.FirstLoad();
    exit_at_pump = -1;
    EXPECT_TRUE(loaded.ended);
    EXPECT_FALSE(loaded.whole);
    EXPECT_LT(a.store().docs.size(), 3u + (stop > 1 ? 1u : 0u));
    a.FinishStart(true, false, nullptr);
    a.SaveAtExit(WindowSettings{});
    EXPECT_TRUE(launcher.calls().empty()) << launcher.calls().front();
    EXPECT_EQ(files.WriteCount(Path(kRunFileName)), run_writes);
    EXPECT_EQ(files.files().at(Path(kRecentFileName)), "C:\\Work\\old.txt*|*old\r\n");
    app.reset();
  }
  Application& a = Start();
  a.FirstLoad();
  EXPECT_EQ(a.store().docs.size(), 3u) << "the history a cut load saved is whole";
}

// The documents opened at start: only when the box is ticked and the
// question (when asked) was answered yes; each time the refresh that waited
// for the history runs after them.
TEST_F(ApplicationTest, AutoRunOpensWhatWasChosenOnlyWhenAllowed) {
  launcher.AddFile("C:\\Work\\plan.txt");
  files.PutFile(Path(kRunFileName), "C:\\Work\\plan.txt*|*plan\r\n");
  struct Case {
    bool enabled, query, answer;
    bool asked, opened;
  } const cases[] = {
      {false, false, false, false, false}, {false, true, true, false, false},
      {true, false, false, false, true},   {true, true, true, true, true},
      {true, true, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.enabled << c.query << c.answer);
    launcher.ClearLog();
    windows.ClearWindows();
    Application& a = Start();
    a.FirstLoad();
    windows.AddWindow("Queue - Tool", "C:\\Tools\\waiting.exe");
    a.tracker().CheckAllDocs();
    EXPECT_TRUE(a.store().docs.empty()) << "a refresh during the load waits for its end";
    bool asked = false;
    a.FinishStart(c.enabled, c.query, [&](const std::string& question) {
      asked = true;
      EXPECT_NE(question.find("plan"), std::string::npos) << question;
      EXPECT_TRUE(a.store().docs.empty()) << "the question comes before the refresh";
      return c.answer;
    });
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(!launcher.calls().empty(), c.opened);
    EXPECT_EQ(Paths(), std::vector<std::string>{"C:\\Tools\\waiting.exe"});
    app.reset();
    files.PutFile(Path(kSettingsFileName), "");
  }
}

// The session's end saves once and waits for the disk; a later exit save
// does nothing more.
TEST_F(ApplicationTest, TheSessionsEndSavesOnce) {
  Application& a = Start();
  a.FirstLoad();
  a.FinishStart(false, false, nullptr);
  windows.AddWindow("Open now", "C:\\Tools\\open.exe");
  a.EndSession(WindowSettings{});
  EXPECT_EQ(files.WriteCount(Path(kLastRunFileName)), 1);
  EXPECT_NE(files.files().at(Path(kLastRunFileName)).find("open.exe"), std::string::npos);
  EXPECT_FALSE(a.SaveAtExit(WindowSettings{}));
  a.EndSession(WindowSettings{});
  EXPECT_EQ(files.WriteCount(Path(kLastRunFileName)), 1);
}

}  // namespace
}  // namespace zd
