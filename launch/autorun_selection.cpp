#include "launch/autorun_selection.h"

#include <algorithm>

#include "lang/lang_tables.h"
#include "store/program_files.h"
#include "tracking/doc_kinds.h"

namespace zd {

void AutorunSelection::Open(const DocArray& docs, bool query_auto_run_doc) {
  names_.clear();
  selected_.clear();
  for (const DocRecord& doc : docs) {
    names_.push_back(doc.name);
    selected_.push_back(doc.selected);
  }
  select_all_ = false;
  not_query_ = !query_auto_run_doc;
}

void AutorunSelection::SetSelectAll(bool ticked) {
  select_all_ = ticked;
  std::fill(selected_.begin(), selected_.end(), ticked);
}

void AutorunSelection::ClickRows(const std::vector<bool>& selection_after_click) {
  if (select_all_) {
    SetSelectAll(false);
    return;
  }
  for (size_t i = 0; i < selected_.size() && i < selection_after_click.size(); ++i) {
    selected_[i] = selection_after_click[i];
  }
}

AutorunSelection::Confirmed AutorunSelection::Confirm(DocArray& docs) const {
  Confirmed confirmed;
  confirmed.query_auto_run_doc = !not_query_;
  // Records are only ever appended while the window is open: the listed ones exist.
  for (size_t i = 0; i < selected_.size() && i < docs.size(); ++i) {
    if (docs[i].selected == selected_[i]) continue;
    docs[i].selected = selected_[i];
    confirmed.changed.push_back(i);
  }
  return confirmed;
}

bool SaveSelectedFlags(SettingsFile& settings, const DocArray& docs,
                       const std::vector<size_t>& positions) {
  std::vector<std::pair<std::string, std::string>> keys;
  for (size_t position : positions) {
    if (position >= docs.size()) continue;
    const DocRecord& doc = docs[position];
    // A file's choice travels with its line in the files' list.
    if (!InHistorySection(doc.doctype)) continue;
    keys.emplace_back("selected" + std::to_string(position - doc.unstored_before),
                      doc.selected ? "1" : "0");
  }
  return keys.empty() || settings.WriteKeys(kSectionDocs, keys);
}

std::vector<AutoRunDoc> AutoRunDocs(const DocArray& docs, const DocList& run_list) {
  std::vector<AutoRunDoc> chosen;
  auto add = [&](std::string path, const std::string& name) {
    path = Trim(path);
    if (path.empty()) return;
    // One document once, whatever the case its local path is written in.
    for (const AutoRunDoc& doc : chosen)
      if (DocPathKey(doc.path) == DocPathKey(path)) return;
    chosen.push_back({std::move(path), name});
  };
  for (const DocRecord& doc : docs)
    if (doc.selected) add(GetDocAddress(doc), doc.name);
  for (const std::string_view line : run_list.Lines()) {
    DocLine entry;
    if (ListLineSplit(line, entry)) add(entry.path, entry.name);
  }
  return chosen;
}

std::string AutoRunQuestionText(const std::vector<AutoRunDoc>& docs, const std::string& question,
                                const std::string& more) {
  std::string names;
  for (size_t i = 0; i < docs.size() && i < kAutoRunNamesShown; ++i) {
    if (!names.empty()) names += '\n';
    // The full path first: a display name alone may say anything.
    names += docs[i].path;
    if (!docs[i].name.empty() && docs[i].name != docs[i].path) names += "  (" + docs[i].name + ")";
  }
  if (docs.size() > kAutoRunNamesShown) {
    names += '\n';
    names += lang::FormatText(more, static_cast<int>(docs.size() - kAutoRunNamesShown));
  }
  return lang::FormatText(question, names);
}

void OpenAutoRunDocs(const std::vector<AutoRunDoc>& docs, DocOpener& opener, ShellLauncher& shell) {
  for (const AutoRunDoc& doc : docs) {
    // A document known to be gone is skipped; one that could not be asked
    // about (a server's) is left to the shell.
    if (IsLocalDocPath(doc.path) && shell.QueryPath(doc.path) == PathAnswer::kNotFound) continue;
    opener.OpenAndRecordDoc(doc.path, doc.name);
  }
}

}  // namespace zd
