#include "store/settings_file.h"

#include <charconv>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "platform/errors.h"
#include "platform/utf8.h"
#include "store/doc.h"
#include "store/text_file.h"

namespace zd {
namespace {

// The profile API trims ASCII white space and ^Z (a DOS end-of-file mark some
// old files carry); no-break and ideographic spaces are kept.
bool IsIniSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1A;
}

std::string_view IniTrim(std::string_view text) {
  while (!text.empty() && IsIniSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsIniSpace(text.back())) text.remove_suffix(1);
  return text;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool IsQuoted(std::string_view value) {
  return value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front();
}

// A line break would split the line into two entries, and the profile API
// stops at a NUL: every control character becomes a blank.
std::string OneLine(std::string_view text) { return BlankControlChars(text); }

// The stored form of a value, such that reading it back gives `value`: the
// reader trims blanks and removes one pair of quotes, so a value that has
// either gets an extra pair around it.
std::string StoredValue(std::string_view value) {
  std::string stored = OneLine(value);
  if (!stored.empty() &&
      (IsIniSpace(stored.front()) || IsIniSpace(stored.back()) || IsQuoted(stored))) {
    stored = '"' + stored + '"';
  }
  return stored;
}

std::optional<int> ParseInteger(std::string_view text) {
  const char* first = text.data();
  const char* last = first + text.size();
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    // Hex is read as 32 bits, so 0xFFFFFFFF is -1.
    uint32_t value = 0;
    const auto [end, ec] = std::from_chars(first + 2, last, value, 16);
    if (ec != std::errc() || end != last) return std::nullopt;
    return static_cast<int>(static_cast<int32_t>(value));
  }
  if (first != last && *first == '+') {
    ++first;
    if (first != last && *first == '-') return std::nullopt;
  }
  int value = 0;
  const auto [end, ec] = std::from_chars(first, last, value, 10);
  if (first == last || ec != std::errc() || end != last) return std::nullopt;
  return value;
}

}  // namespace

// ---- IniDocument ----

void IniDocument::Parse(std::string_view utf8_text) {
  sections_.assign(1, std::make_shared<Section>());
  for (const std::string& raw : SplitLines(utf8_text)) {
    const std::string_view line = IniTrim(raw);
    if (line.empty()) continue;
    if (line.front() == '[') {
      const size_t close = line.rfind(']');
      if (close != std::string_view::npos && close > 0) {
        // Text after the last "]" is ignored, as the API ignores it.
        auto section = std::make_shared<Section>();
        section->name = std::string(IniTrim(line.substr(1, close - 1)));
        sections_.push_back(std::move(section));
        continue;
      }
    }
    Section& section = *sections_.back();
    const size_t eq = line.find('=');
    std::string name(IniTrim(line.substr(0, eq)));
    std::optional<std::string> value;
    if (eq != std::string_view::npos) value = std::string(IniTrim(line.substr(eq + 1)));
    // The API drops a nameless entry that follows another nameless one.
    if (name.empty() && !section.keys.empty() && section.keys.back().name.empty()) continue;
    AddKey(section, std::move(name), std::move(value));
  }
  IndexSections();
}

std::string IniDocument::Serialize() const {
  std::string text;
  for (size_t i = 0; i < sections_.size(); ++i) {
    const Section& section = *sections_[i];
    // A later nameless section keeps its "[]": without it its keys would join
    // the section above at the next read.
    if (i > 0) text.append("[").append(section.name).append("]\r\n");
    for (const Key& key : section.keys) {
      text.append(key.name);
      if (key.value) text.append("=").append(*key.value);
      text.append("\r\n");
    }
  }
  return text;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
  const Section* found = FindSection(IniTrim(section));
  if (!found) return std::nullopt;
  const auto it = found->first_key.find(LowerAscii(IniTrim(key)));
  if (it == found->first_key.end()) return std::nullopt;
  // A line without "=" hides a later line with the same name, as in the API.
  const std::optional<std::string>& value = found->keys[it->second].value;
  if (!value) return std::nullopt;
  if (IsQuoted(*value)) return value->substr(1, value->size() - 2);
  return value;
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string section_name = OneLine(IniTrim(section));
  const std::string key_name = OneLine(IniTrim(key));
  std::string stored = StoredValue(value);
  const std::string lower_key = LowerAscii(key_name);
  // An unchanged value changes nothing, not even which section is shared.
  if (const Section* existing = FindSection(section_name)) {
    const auto it = existing->first_key.find(lower_key);
    if (it != existing->first_key.end()) {
      const std::optional<std::string>& current = existing->keys[it->second].value;
      if (current && *current == stored) return false;
    }
  }
  Section* target = FindSectionToChange(section_name);
  if (!target) {
    auto fresh = std::make_shared<Section>();
    fresh->name = section_name;
    sections_.push_back(std::move(fresh));
    first_section_.emplace(LowerAscii(section_name), sections_.size() - 1);
    target = sections_.back().get();
  }
  const auto it = target->first_key.find(lower_key);
  if (it != target->first_key.end()) {
    target->keys[it->second].value = std::move(stored);
    return true;
  }
  AddKey(*target, key_name, std::move(stored));
  return true;
}

bool IniDocument::EraseSection(std::string_view section) {
  const std::string wanted = LowerAscii(IniTrim(section));
  // Like the API: the first named section of that name only.
  for (size_t i = 1; i < sections_.size(); ++i) {
    if (!sections_[i]->name.empty() && LowerAscii(sections_[i]->name) == wanted) {
      sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(i));
      IndexSections();
      return true;
    }
  }
  return false;
}

size_t IniDocument::EraseKeys(std::string_view section,
                              const std::function<bool(std::string_view)>& erase) {
  const Section* shared = FindSection(IniTrim(section));
  if (!shared) return 0;
  bool any = false;
  for (const Key& key : shared->keys) any = any || (!key.name.empty() && erase(key.name));
  if (!any) return 0;
  Section* found = FindSectionToChange(IniTrim(section));
  const size_t before = found->keys.size();
  std::erase_if(found->keys, [&](const Key& key) { return !key.name.empty() && erase(key.name); });
  const size_t erased = before - found->keys.size();
  if (erased > 0) {
    found->first_key.clear();
    for (size_t i = 0; i < found->keys.size(); ++i) {
      found->first_key.emplace(LowerAscii(found->keys[i].name), i);
    }
  }
  return erased;
}

bool IniDocument::HasSection(std::string_view section) const {
  return FindSection(IniTrim(section)) != nullptr;
}

std::vector<std::string> IniDocument::Keys(std::string_view section) const {
  std::vector<std::string> names;
  const Section* found = FindSection(IniTrim(section));
  if (!found) return names;
  for (const Key& key : found->keys) {
    if (key.value && !key.name.empty() && key.name.front() != ';') names.push_back(key.name);
  }
  return names;
}

const IniDocument::Section* IniDocument::FindSection(std::string_view trimmed_name) const {
  const auto it = first_section_.find(LowerAscii(trimmed_name));
  return it == first_section_.end() ? nullptr : sections_[it->second].get();
}

IniDocument::Section* IniDocument::FindSectionToChange(std::string_view trimmed_name) {
  const auto it = first_section_.find(LowerAscii(trimmed_name));
  if (it == first_section_.end()) return nullptr;
  std::shared_ptr<Section>& section = sections_[it->second];
  // Copies are made on this thread only, so a count of one cannot grow
  // meanwhile: nobody else can see a change made now.
  if (section.use_count() > 1) section = std::make_shared<Section>(*section);
  return section.get();
}

void IniDocument::AddKey(Section& section, std::string name, std::optional<std::string> value) {
  section.first_key.emplace(LowerAscii(name), section.keys.size());  // the first one wins
  section.keys.push_back(Key{std::move(name), std::move(value)});
}

void IniDocument::IndexSections() {
  first_section_.clear();
  for (size_t i = 0; i < sections_.size(); ++i) {
    first_section_.emplace(LowerAscii(sections_[i]->name), i);
  }
}

// ---- SettingsFile ----

// One thread that writes snapshots of the file, the latest first: a snapshot
// handed over while another is being written waits, and a newer one replaces
// it. Writes therefore reach the disk in the order they were made.
class SettingsFile::Writer {
 public:
  explicit Writer(SettingsFile& file) : file_(file), thread_([this] { Run(); }) {}
  ~Writer() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }

  void Post(IniDocument snapshot) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      pending_ = std::move(snapshot);
    }
    wake_.notify_all();
  }

  // Until nothing is pending or being written; whether the last write went
  // through. Each write is the whole file: one that worked makes up for any
  // that failed before it.
  bool Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return !pending_ && !writing_; });
    const bool ok = !failed_;
    failed_ = false;
    return ok;
  }

  void Idle() {
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return !pending_ && !writing_; });
  }

  // A write failed and nothing newer was handed over since: the next flush
  // must write again.
  bool last_failed() {
    std::lock_guard<std::mutex> lock(mutex_);
    return last_failed_;
  }

 private:
  void Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return stopping_ || pending_; });
      if (!pending_) return;  // stopping with nothing left
      IniDocument snapshot = std::move(*pending_);
      pending_.reset();
      writing_ = true;
      lock.unlock();
      bool ok = false;
      try {
        ok = file_.WriteNow(snapshot);
      }
      ZD_CATCH_LOG("SettingsFile::Writer")
      snapshot = IniDocument();  // its sections are no longer shared
      lock.lock();
      writing_ = false;
      failed_ = !ok;
      last_failed_ = !ok && !pending_;
      idle_.notify_all();
    }
  }

  SettingsFile& file_;
  std::mutex mutex_;
  std::condition_variable wake_, idle_;
  std::optional<IniDocument> pending_;
  bool writing_ = false;
  bool failed_ = false;
  bool last_failed_ = false;
  bool stopping_ = false;
  std::thread thread_;  // last: started once everything above exists
};

SettingsFile::SettingsFile(Files& files, const AnsiCodec& codec, std::string path)
    : files_(files), codec_(codec), path_(std::move(path)) {
  if (std::optional<DecodedText> text = LoadTextFile(files_, codec_, path_)) {
    doc_.Parse(text->text);
    utf8_ = text->utf8;
  } else if (files_.FileExists(path_)) {
    readable_ = false;
  }
}

std::string SettingsFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view default_value) const {
  std::optional<std::string> value = doc_.Get(section, key);
  return value ? std::move(*value) : std::string(default_value);
}

int SettingsFile::ReadInteger(std::string_view section, std::string_view key,
                              int default_value) const {
  const std::optional<std::string> value = doc_.Get(section, key);
  if (!value) return default_value;
  return ParseInteger(*value).value_or(default_value);
}

bool SettingsFile::ReadBool(std::string_view section, std::string_view key,
                            bool default_value) const {
  return ReadInteger(section, key, default_value ? 1 : 0) != 0;
}

bool SettingsFile::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
  return Commit(doc_.Set(section, key, value));
}

bool SettingsFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool SettingsFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

bool SettingsFile::WriteKeys(std::string_view section,
                             const std::vector<std::pair<std::string, std::string>>& keys) {
  bool changed = false;
  for (const auto& [key, value] : keys) changed |= doc_.Set(section, key, value);
  return Commit(changed);
}

bool SettingsFile::EraseSection(std::string_view section) {
  return Commit(doc_.EraseSection(section));
}

bool SettingsFile::EraseKeys(std::string_view section,
                             const std::function<bool(std::string_view)>& erase) {
  return Commit(doc_.EraseKeys(section, erase) > 0);
}

bool SettingsFile::Commit(bool changed) {
  if (changed) dirty_ = true;
  if (holds_ > 0) return readable_;
  return Flush();
}

bool SettingsFile::Flush() {
  if (writer_ && writer_->last_failed()) dirty_ = true;
  if (!dirty_) return true;
  if (!readable_) return false;
  if (writer_) {
    writer_->Post(doc_);
    dirty_ = false;
    return true;
  }
  if (!WriteNow(doc_)) return false;
  dirty_ = false;
  return true;
}

bool SettingsFile::WriteNow(const IniDocument& doc) {
  return SaveText(files_, codec_, path_, doc.Serialize(), utf8_);
}

void SettingsFile::WriteInBackground() {
  if (!writer_) writer_ = std::make_unique<Writer>(*this);
}

bool SettingsFile::WaitForWrites() {
  const bool handed_over = Flush();
  return writer_ ? writer_->Wait() && handed_over : handed_over;
}

void SettingsFile::WaitForWriterIdle() {
  if (writer_) writer_->Idle();
}

SettingsFile::~SettingsFile() {
  // What was handed over still reaches the disk.
  writer_.reset();
}

SettingsFile::Hold::Hold(SettingsFile& file) : file_(file) { ++file_.holds_; }

SettingsFile::Hold::~Hold() {
  if (--file_.holds_ != 0) return;
  // A destructor must not throw: a write that failed here is recorded, and
  // the file stays dirty for the next one.
  try {
    file_.Flush();
  }
  ZD_CATCH_LOG("SettingsFile::Hold")
}

}  // namespace zd
