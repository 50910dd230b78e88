#include "launch/search.h"

#include <array>

#include "platform/errors.h"
#include "platform/utf8.h"
#include "tracking/tree_input.h"

namespace zd {
namespace {

// A byte's class among 64: the letters and digits one each, the rest shared.
// A record can only hold the key when it holds every class of the key's
// bytes, which rules out most records before their text is read.
constexpr std::array<uint8_t, 256> kByteClass = [] {
  std::array<uint8_t, 256> classes{};
  for (int c = 0; c < 256; ++c) {
    if (c >= 'a' && c <= 'z') {
      classes[c] = static_cast<uint8_t>(c - 'a');
    } else if (c >= 'A' && c <= 'Z') {
      classes[c] = static_cast<uint8_t>(c - 'A');
    } else if (c >= '0' && c <= '9') {
      classes[c] = static_cast<uint8_t>(26 + c - '0');
    } else if (c < 0x80) {
      classes[c] = static_cast<uint8_t>(36 + c % 8);
    } else {
      classes[c] = static_cast<uint8_t>(44 + c % 20);
    }
  }
  return classes;
}();

// Whether a byte has a class of its own (letters and digits): a one-byte
// key of such a class needs no look at the text.
bool ClassIsExact(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// One of 128 bits for a pair of neighbouring bytes. A key's pairs must all
// be among a record's, which rules out nearly every record that does not
// hold a key of two bytes or more (Chinese text included).
unsigned PairBit(unsigned char a, unsigned char b) {
  return ((static_cast<uint32_t>(a) << 8 | b) * 0x9E3779B1u) >> 25;
}

// Whether `text` holds `key` (of two bytes or more). A plain loop: the
// run-time library's memchr is a call per record, and on Windows a
// byte-by-byte one, which costs more than the short texts it scans.
bool Holds(std::string_view text, std::string_view key) {
  if (key.size() == 1) return text.find(key[0]) != std::string_view::npos;
  if (key.size() > text.size()) return false;
  const char first = key[0];
  const char second = key[1];
  const char* p = text.data();
  const char* const last = p + (text.size() - key.size());
  for (; p <= last; ++p) {
    if (p[0] != first || p[1] != second) continue;
    size_t i = 2;
    while (i < key.size() && p[i] == key[i]) ++i;
    if (i == key.size()) return true;
  }
  return false;
}

SearchMask MaskOf(std::string_view text) {
  SearchMask mask;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    mask.classes |= uint64_t{1} << kByteClass[c];
    if (i + 1 < text.size()) {
      const unsigned bit = PairBit(c, static_cast<unsigned char>(text[i + 1]));
      mask.pairs[bit >> 6] |= uint64_t{1} << (bit & 63);
    }
  }
  return mask;
}

bool Covers(uint64_t have, uint64_t need) { return (have & need) == need; }

// The record may hold the key: all of the key's pairs are its, and all of
// the key's classes are its path's or its name's.
bool MayHold(const SearchMask& record, const SearchMask& key) {
  return Covers(record.pairs[0], key.pairs[0]) && Covers(record.pairs[1], key.pairs[1]) &&
         (Covers(record.classes, key.classes) || Covers(record.name_classes, key.classes));
}

void AppendLowered(std::string& out, std::string_view text) {
  const size_t at = out.size();
  out.append(text);
  for (size_t i = at; i < out.size(); ++i) out[i] = LowerAscii(out[i]);
}

}  // namespace

std::string SearchKey(std::string_view box_text) { return LowerAscii(Trim(box_text)); }

bool MatchesSearch(const TMyDoc& doc, std::string_view key) {
  if (key.empty()) return false;
  return LowerAscii(doc.path).find(key) != std::string::npos ||
         LowerAscii(doc.name).find(key) != std::string::npos;
}

// ---- SearchModel ----

void SearchModel::Clear() {
  rows_.clear();
  key_.clear();
}

void SearchModel::Extend(const DocArray& docs) {
  if (starts_.empty()) starts_.push_back(0);
  for (size_t i = starts_.size() - 1; i < docs.size(); ++i) {
    AppendLowered(text_, docs[i].path);
    path_ends_.push_back(static_cast<uint32_t>(text_.size()));
    text_ += '\0';
    AppendLowered(text_, docs[i].name);
    text_ += '\0';
    // Pairs that span the NUL between path and name are harmless: a key
    // holds no NUL, so none of its pairs is one of them.
    const std::string_view record = std::string_view(text_).substr(starts_.back());
    SearchMask mask = MaskOf(record);
    const size_t path_size = path_ends_.back() - starts_.back();
    mask.classes = MaskOf(record.substr(0, path_size)).classes;
    mask.name_classes = MaskOf(record.substr(path_size + 1)).classes;
    masks_.push_back(mask);
    starts_.push_back(static_cast<uint32_t>(text_.size()));
  }
}

void SearchModel::Run(const DocStore& store, std::string_view box_text) {
  const DocArray& docs = store.docs;
  const bool stale = store_ != &store || generation_ != store.docs_generation ||
                     (!starts_.empty() && docs.size() < starts_.size() - 1);
  if (stale) {
    text_.clear();
    starts_.clear();
    path_ends_.clear();
    masks_.clear();
    rows_.clear();
    key_.clear();
    searched_records_ = 0;
    store_ = &store;
    generation_ = store.docs_generation;
  }
  Extend(docs);

  const std::string key = SearchKey(box_text);
  // No record text holds a NUL, and the key must not span the separators.
  if (key.empty() || key.find('\0') != std::string::npos) {
    rows_.clear();
    key_ = key;
    searched_records_ = docs.size();
    return;
  }
  const SearchMask key_mask = MaskOf(key);
  const bool mask_decides = key.size() == 1 && ClassIsExact(static_cast<unsigned char>(key[0]));
  const std::string_view all(text_);
  std::vector<uint32_t> rows;
  auto test = [&](uint32_t record) {
    const SearchMask& mask = masks_[record];
    if (!MayHold(mask, key_mask)) return;
    if (!mask_decides) {
      // Only the fields that hold all of the key's bytes are read.
      const size_t path_end = path_ends_[record];
      const bool in_path = Covers(mask.classes, key_mask.classes) &&
                           Holds(all.substr(starts_[record], path_end - starts_[record]), key);
      if (!in_path && !(Covers(mask.name_classes, key_mask.classes) &&
                        Holds(all.substr(path_end + 1, starts_[record + 1] - path_end - 2), key))) {
        return;
      }
    }
    rows.push_back(record);
  };
  // Typing on narrows the last search: only its matches can still match,
  // besides the records registered since.
  const bool narrowing = !key_.empty() && key.find(key_) != std::string::npos;
  size_t first_new = 0;
  if (narrowing) {
    rows.reserve(rows_.size());
    for (const uint32_t record : rows_) test(record);
    first_new = searched_records_;
  } else {
    rows.reserve(docs.size() / 8);
  }
  for (size_t record = first_new; record < docs.size(); ++record) {
    test(static_cast<uint32_t>(record));
  }
  rows_ = std::move(rows);
  key_ = key;
  searched_records_ = docs.size();
}

bool SearchModel::Current(size_t row) const {
  return row < rows_.size() && store_ && generation_ == store_->docs_generation &&
         rows_[row] < store_->docs.size();
}

std::string SearchModel::RowText(size_t row) const {
  if (!Current(row)) return {};
  const uint32_t record = rows_[row];
  return text_.substr(starts_[record], path_ends_[record] - starts_[record]);
}

std::optional<std::string> SearchModel::RowPath(size_t row) const {
  if (!Current(row)) return std::nullopt;
  return store_->docs[rows_[row]].path;
}

std::optional<size_t> SearchModel::RowRecord(size_t row) const {
  if (!Current(row)) return std::nullopt;
  return rows_[row];
}

// ---- SearchPresenter ----

SearchPresenter::SearchPresenter(const DocStore& store, DocOpener& opener, WebSearcher& web,
                                 ShellLauncher& shell, SearchView& view)
    : store_(store), opener_(opener), web_(web), shell_(shell), view_(view) {}

void SearchPresenter::EdtSearchChange(const std::string& text) noexcept {
  try {
    // Text the program did not put there (typed, an IME's result, pasted,
    // dropped, undone) is the user's: searching by typing resumes.
    if (!setting_text_) suppress_ = false;
    if (suppress_) return;
    model_.Run(store_, text);
    view_.ShowResults(model_.RowCount());
  }
  ZD_CATCH_LOG(__func__)
}

void SearchPresenter::EdtSearchTyped() noexcept { suppress_ = false; }

void SearchPresenter::EdtSearchKeyDown(int key, const std::string& text,
                                       std::optional<size_t> selected_row) noexcept {
  try {
    switch (key) {
      case kKeyEnter:
        // Hidden first: a web search serves window messages while it waits.
        view_.HideResults();
        // With a row selected, the row is opened from the list itself.
        if (model_.RowCount() == 0 || !selected_row) {
          switch (shell_.QueryPath(text)) {
            case PathAnswer::kFile:
            case PathAnswer::kFolder:
            case PathAnswer::kNotAsked:  // a server's path: the shell asks it
              opener_.OpenDocPath(text, false);
              break;
            default:
              web_.WebSearch(text);
              break;
          }
        }
        break;
      case kKeyEscape:
        view_.HideResults();
        break;
      case kKeyDown:
        if (!view_.ResultsVisible()) break;
        view_.FocusResults(0);
        suppress_ = true;
        break;
      case kKeyDelete:
        EdtSearchTyped();  // deleting is typing too; it sends no character
        break;
      default:
        break;
    }
  }
  ZD_CATCH_LOG(__func__)
}

void SearchPresenter::BtnZDSearchClick(const std::string& text) noexcept {
  try {
    view_.HideResults();
    web_.WebSearch(text);
  }
  ZD_CATCH_LOG(__func__)
}

void SearchPresenter::OpenRow(std::optional<size_t> row) {
  if (!row) return;
  const std::optional<size_t> record = model_.RowRecord(*row);
  if (!record) return;
  // A remembered document: once opened it stands at the top of the recent list.
  const TMyDoc& doc = store_.docs[*record];
  opener_.OpenRememberedDoc(doc.path, doc.name, false);
}

void SearchPresenter::SetSearchText(const std::string& text) {
  // The change this makes is the program's own, not the user's typing.
  setting_text_ = true;
  try {
    view_.SetSearchText(text);
  } catch (...) {
    setting_text_ = false;
    throw;
  }
  setting_text_ = false;
}

void SearchPresenter::LbSearchResultMouseDown(std::optional<size_t> current_row) noexcept {
  try {
    if (!current_row) return;
    OpenRow(current_row);
    view_.HideResults();
    suppress_ = false;
  }
  ZD_CATCH_LOG(__func__)
}

void SearchPresenter::LbSearchResultKeyDown(int key, std::optional<size_t> current_row) noexcept {
  try {
    suppress_ = true;
    switch (key) {
      case kKeyEnter:
      case kKeySpace:
        OpenRow(current_row);
        view_.HideResults();
        suppress_ = false;
        break;
      case kKeyEscape:
        view_.HideResults();
        suppress_ = false;
        break;
      default:
        // The row current as the key arrived; the list moves afterwards.
        if (current_row) SetSearchText(model_.RowText(*current_row));
        break;
    }
  }
  ZD_CATCH_LOG(__func__)
}

void SearchPresenter::TreeKeyCaption(const TreeNode* focused) noexcept {
  try {
    suppress_ = true;
    if (focused) SetSearchText(focused->caption);
  }
  ZD_CATCH_LOG(__func__)
}

void SearchPresenter::TreeLeftPress(const TreeNode* node) noexcept {
  try {
    suppress_ = true;
    if (node) SetSearchText(node->caption);
  }
  ZD_CATCH_LOG(__func__)
  suppress_ = false;
}

void SearchPresenter::HideResults() noexcept {
  try {
    view_.HideResults();
  }
  ZD_CATCH_LOG(__func__)
}

void SearchPresenter::ClearResults() noexcept {
  try {
    model_.Clear();
    view_.ClearResults();
  }
  ZD_CATCH_LOG(__func__)
}

}  // namespace zd
