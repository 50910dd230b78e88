#include "lang/lang_tables.h"

#include <cstdint>

#include "lang/captions.h"
#include "lang/decimal_text.h"
#include "lang/text_tables.h"

namespace zd::lang {
namespace {

int ColumnOf(int language_index) {
  return language_index == 1 || language_index == 2 ? language_index : 0;
}

// Re-encodes `in` as well-formed UTF-8: a leading BOM and malformed or
// overlong sequences are dropped, like the characters a code-page conversion
// could not map.
std::string DecodeUtf8(std::string_view in) {
  if (in.starts_with("\xEF\xBB\xBF")) in.remove_prefix(3);
  std::string out;
  out.reserve(in.size());
  size_t i = 0;
  while (i < in.size()) {
    const auto b = static_cast<unsigned char>(in[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    int len = 0;
    char32_t cp = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      len = 2, cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      len = 3, cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      len = 4, cp = b & 0x07;
    } else {
      ++i;  // stray continuation byte or invalid lead byte
      continue;
    }
    int got = 1;
    while (got < len && i + got < in.size() &&
           (static_cast<unsigned char>(in[i + got]) & 0xC0) == 0x80) {
      cp = (cp << 6) | (static_cast<unsigned char>(in[i + got]) & 0x3F);
      ++got;
    }
    const bool ok = got == len && !(len == 3 && cp < 0x800) && !(len == 4 && cp < 0x10000) &&
                    cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
    if (ok) out.append(in.substr(i, len));
    i += got;
  }
  return out;
}

// Lines as a text list sees them: CR LF, LF or CR end a line, and a final
// line ending does not start another line.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

void SetSharedRow(InterfaceTexts& out, int row, std::string text) {
  if (row == kSharedPathNotExists) out.PathNotExists = text;
  if (row == kSharedExitQuestion) out.ExitQuestion = text;
  if (row == kSharedAboutTitle) out.AboutTitle = text;
  out.shared[row] = std::move(text);
}

// Fills the shared rows; false when the resource ran out before the last row.
bool FillShared(int language_index, std::string_view allneed, InterfaceTexts& out) {
  if (out.shared.size() < static_cast<size_t>(kSharedRows)) out.shared.resize(kSharedRows);
  if (language_index != 1) {
    const auto rows = detail::SharedRows();
    for (int r = 0; r < kSharedRows; ++r)
      SetSharedRow(out, r, language_index == 2 ? rows[r].en : rows[r].zh_cn);
    return true;
  }
  // The traditional texts come only from the resource; its "?" are what is
  // left of characters a conversion could not map, so they go.
  std::string text = DecodeUtf8(allneed);
  std::erase(text, '?');
  std::vector<std::string> lines = SplitLines(text);
  for (int r = 0; r < kSharedRows; ++r) {
    if (static_cast<size_t>(r) >= lines.size()) return false;
    SetSharedRow(out, r, std::move(lines[r]));
  }
  return true;
}

void FillOwn(int language_index, InterfaceTexts& out) {
  const int col = ColumnOf(language_index);
  for (const detail::OwnRow& row : detail::OwnRows()) out.*row.field = row.text[col];
  std::vector<std::pair<Ui, std::string>> captions;
  for (Ui part : CopiedCaptionParts())
    captions.emplace_back(part, std::string(CaptionOf(part, col)));
  out.captions = std::move(captions);
}

template <typename Value>
std::string Substitute(std::string_view format, char specifier, const Value& value) {
  std::string out;
  out.reserve(format.size() + 16);
  bool used = false;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      if (format[i + 1] == '%') {
        out += '%';
        ++i;
        continue;
      }
      if (format[i + 1] == specifier && !used) {
        out += value;
        used = true;
        ++i;
        continue;
      }
    }
    out += format[i];
  }
  return out;
}

}  // namespace

const std::string* InterfaceTexts::Caption(Ui part) const {
  for (const auto& [id, text] : captions)
    if (id == part) return &text;
  return nullptr;
}

std::vector<std::string> InterfaceTexts::SpecialPlaces() const {
  return {MyComputer, NetworkPlaces, ControlPanel, Performance, Desktop, MyDocuments};
}

InterfaceTexts& Texts() {
  static InterfaceTexts texts;
  return texts;
}

bool LoadLanguageTables(int language_index, std::string_view allneed, InterfaceTexts& out) {
  // A short or missing resource only costs the shared rows it lacks; the own
  // table is compiled in and is filled regardless.
  const bool shared_complete = FillShared(language_index, allneed, out);
  FillOwn(language_index, out);
  return shared_complete;
}

std::string WindowCaption(const std::string& product, float version) {
  return product + OneDecimal(version);
}

std::string FormatText(std::string_view format, int value) {
  return Substitute(format, 'd', std::to_string(value));
}

std::string FormatText(std::string_view format, std::string_view value) {
  return Substitute(format, 's', value);
}

std::string FileListMessage(std::string_view format, const std::vector<std::string>& paths) {
  std::string list;
  for (const std::string& path : paths) {
    if (!list.empty()) list += '\n';
    list += path;
  }
  return FormatText(format, list);
}

const std::vector<Ui>& ButtonImageParts() {
  static const std::vector<Ui> parts = {
      Ui::BtnZDStart,     Ui::BtnZDPCStart,       Ui::BtnZDSearch, Ui::BtnZDAddToFav,
      Ui::BtnZDUpdateFav, Ui::BtnZDDeleteAllDocs, Ui::BtnHelp,     Ui::BtnAbout};
  return parts;
}

}  // namespace zd::lang
