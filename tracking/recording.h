// The main window's side of recording: the gate before registration, the
// browsers' pages, the pause switch the next start remembers, and the
// privacy rules with their file. The refresh's hooks come from here.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/shared_files.h"
#include "platform/window_system.h"
#include "store/config.h"
#include "store/privacy_rules.h"
#include "tracking/browser_reader.h"
#include "tracking/found_doc.h"
#include "tracking/recent_reader.h"
#include "tracking/recording_gate.h"
#include "tracking/title_files.h"

namespace zd {

class Recording {
 public:
  // `pages_read` is called on the browsers' reader thread when a read has
  // finished (it only passes the word on to the interface thread).
  // `make_recent` gives the shell's Recent items and jump lists on their
  // reader's thread; `files_read` is called there when a read has finished.
  Recording(DocStore& store, WindowSystem& windows, SharedFiles& files, UserFolders folders,
            Registry* registry, std::function<void()> pages_read = nullptr,
            std::function<std::unique_ptr<RecentItems>()> make_recent = nullptr,
            std::function<void()> files_read = nullptr);

  // At the start-up load: the pause switch from the settings, the rules from their file.
  void Load();

  bool paused() const { return gate_.paused(); }
  // Switches recording off or on and writes the key at once.
  void SetPaused(bool paused);
  RecordingState State() { return gate_.State(); }

  const std::vector<PrivacyRule>& rules() const { return gate_.filter().rules(); }
  // The list with `rule` added at its end (or rule `index` removed), saved
  // at once. False when the file could not be written: the rules then stay
  // in force for this run all the same.
  bool AddRule(const PrivacyRule& rule);
  bool DeleteRule(size_t index);
  std::string RulesPath() const;
  // The rules file exists but could not be read at the start-up load (or
  // has not been read yet): recording stays off.
  bool rules_unreadable() const;
  const std::vector<RuleStatus>& rule_statuses() const { return gate_.filter().statuses(); }

  // Every writer of what was seen or done asks this (see RecordingGate::Admit).
  bool Admit(FoundDoc& found) { return gate_.Admit(found); }
  // Asks for the browsers' files to be read again, while recording is on:
  // which browsers run is asked here, their files are read on the reader's
  // thread. Never waits.
  void ReadBrowserPages();
  // The same for the browsers of a pass over the windows already taken.
  void ReadBrowserPages(const WindowPass& pass);
  // The web pages of the latest finished read, once, while recording is on.
  // A local file a browser shows is not recorded until files are documents
  // of their own; the browsers' own pages never are.
  std::vector<FoundDoc> BrowserPagesFound();
  // Until the reader has no read running or waiting (for tests).
  void WaitForBrowserPages() { reader_.WaitIdle(); }

  // Asks for the shell's Recent items and jump lists to be read again, while
  // recording is on. Never waits.
  void ReadRecentFiles();
  // The files (and folders) of the latest finished read, once, while
  // recording is on; each known file's name is then matched in window titles.
  std::vector<FoundDoc> RecentFilesFound();
  // The known file a document program's window shows, with that program.
  std::optional<FoundDoc> FileOfWindow(const FoundDoc& window) const;
  void WaitForRecentFiles() { recent_.WaitIdle(); }
  bool ReadingBrowserPages() { return reader_.busy(); }

 private:
  bool SaveRules(std::vector<PrivacyRule> rules);

  DocStore& store_;
  WindowSystem& windows_;
  BrowserReader reader_;
  RecentReader recent_;
  TitleFiles title_files_;
  RecordingGate gate_;
  FileOrigin rules_origin_;
};

}  // namespace zd
