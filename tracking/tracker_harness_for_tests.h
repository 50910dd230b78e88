// A DocTracker on fakes for the tracking tests: an in-memory configuration
// folder, the four tree models, fake windows, shell windows and icons, and
// hooks that count what the tracker asked for.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lang/lang_tables.h"
#include "platform/errors.h"
#include "platform/fake_files.h"
#include "platform/fake_icon_source.h"
#include "platform/fake_shell_windows.h"
#include "platform/fake_window_system.h"
#include "store/config.h"
#include "store/program_files.h"
#include "tracking/tracker.h"
#include "tracking/tree_model.h"

namespace zd::testing_support {

inline constexpr char kConfigDir[] = "C:\\MrxConfig\\";
inline constexpr char kToday[] = "2024-05-06";

// One line per node in tree order: indentation by depth, caption, image and
// the record index, as "  caption [image] #index".
inline std::vector<std::string> Outline(const TreeModel& tree) {
  std::vector<std::string> lines;
  std::function<void(const TreeNode&, int)> walk = [&](const TreeNode& node, int depth) {
    lines.push_back(std::string(static_cast<size_t>(depth) * 2, ' ') + node.caption + " [" +
                    std::to_string(node.image) + "] #" + std::to_string(node.data.index));
    for (const auto& child : node.children) walk(*child, depth + 1);
  };
  for (const auto& root : tree.roots()) walk(*root, 0);
  return lines;
}

// Selected images always follow the images.
inline bool SelectedImagesMatch(const TreeModel& tree) {
  bool ok = true;
  std::function<void(const TreeNode&)> walk = [&](const TreeNode& node) {
    ok = ok && node.selected_image == node.image;
    for (const auto& child : node.children) walk(*child);
  };
  for (const auto& root : tree.roots()) walk(*root);
  return ok;
}

class TrackerTest : public ::testing::Test {
 protected:
  TrackerTest() {
    lang::LoadLanguageTables(0, {}, lang::Texts());
    files.AddDrive("C:\\", DriveKind::kFixed);
    files.AddDirectory(kConfigDir);
    store.files = &files;
    store.codec = codec.get();
    store.ConfigDir = kConfigDir;
    OpenSettingsFile(store);
    MakeTracker();
  }
  ~TrackerTest() override { lang::LoadLanguageTables(0, {}, lang::Texts()); }

  // A success path catches nothing; a test that makes something fail says so.
  void TearDown() override {
    const uint64_t caught = CaughtFailureCount() - caught_at_start_;
    if (expect_caught) {
      EXPECT_GT(caught, 0u) << "the failure made by the test was not recorded";
    } else {
      EXPECT_EQ(caught, 0u) << LastCaughtFailure();
    }
  }
  bool expect_caught = false;

  void MakeTracker() {
    TrackerHooks hooks;
    hooks.pump = [this] {
      ++pumps;
      if (on_pump) on_pump();
    };
    hooks.sleep_ms = [this](int ms) { sleeps.push_back(ms); };
    hooks.step_progress = [this] { ++steps; };
    hooks.reset_progress = [this] { ++resets; };
    hooks.today = [] { return std::string(kToday); };
    hooks.admit = admit;
    hooks.read_browser_pages = read_browser_pages;
    hooks.browser_pages = browser_pages;
    hooks.read_recent_files = read_recent_files;
    hooks.recent_files = recent_files;
    hooks.file_of_window = file_of_window;
    hooks.stop_load = [this] { return stop_load && stop_load(); };
    tracker = std::make_unique<DocTracker>(
        store, TrackerTrees{&tv_docs, {&tv_doc, &tv_app, &tv_path, &tv_file}}, windows, shell,
        &icons, hooks);
    // As after the start-up load; the tests of the load itself start a fresh tracker.
    if (history_loaded) tracker->HistoryLoaded();
  }
  bool history_loaded = true;
  // Set before MakeTracker: the privacy gate and the browsers' pages.
  std::function<bool(FoundDoc&)> admit;
  std::function<void(const WindowPass&)> read_browser_pages;
  std::function<std::vector<FoundDoc>()> browser_pages;
  // The shell's recent files, and the file a program window shows.
  std::function<void()> read_recent_files;
  std::function<std::vector<FoundDoc>()> recent_files;
  std::function<std::optional<FoundDoc>(const FoundDoc&)> file_of_window;

  std::string SettingsPath() const { return std::string(kConfigDir) + kSettingsFileName; }
  std::string DocKey(const char* name, size_t position) const {
    return store.settings->ReadString(kSectionDocs, name + std::to_string(position), "<none>");
  }
  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (const DocRecord& doc : store.docs) paths.push_back(doc.path);
    return paths;
  }

  FakeFiles files;
  std::unique_ptr<AnsiCodec> codec = MakeCodec(936);
  DocStore store;
  TreeModel tv_docs{"TVDocs"}, tv_doc{"TVDoc"}, tv_app{"TVApp"}, tv_path{"TVPath"},
      tv_file{"TVFile"};
  FakeWindowSystem windows;
  FakeShellWindows shell;
  FakeIconSource icons;
  std::unique_ptr<DocTracker> tracker;

  std::function<void()> on_pump;
  // Asked by the history load after each record: true stops it.
  std::function<bool()> stop_load;
  int pumps = 0;
  std::vector<int> sleeps;
  int steps = 0;
  int resets = 0;

 private:
  uint64_t caught_at_start_ = CaughtFailureCount();
};

}  // namespace zd::testing_support
