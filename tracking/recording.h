// The main window's side of recording: the gate before registration, the
// browsers' pages, the pause switch the next start remembers, and the
// privacy rules with their file. The refresh's hooks come from here.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/shared_files.h"
#include "platform/window_system.h"
#include "store/config.h"
#include "store/privacy_rules.h"
#include "tracking/browser_pages.h"
#include "tracking/found_doc.h"
#include "tracking/recording_gate.h"

namespace zd {

class Recording {
 public:
  Recording(DocStore& store, WindowSystem& windows, SharedFiles& files, UserFolders folders,
            Registry* registry);

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
  // The browsers' pages, read only while recording is on.
  std::vector<FoundDoc> BrowserPagesFound();

 private:
  bool SaveRules(std::vector<PrivacyRule> rules);

  DocStore& store_;
  BrowserPages pages_;
  RecordingGate gate_;
  FileOrigin rules_origin_;
};

}  // namespace zd
