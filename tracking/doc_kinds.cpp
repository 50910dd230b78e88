#include "tracking/doc_kinds.h"

#include <algorithm>
#include <array>

namespace zd {
namespace {

constexpr std::array<std::string_view, 5> kScanSpecialPlaces = {"我的电脑", "网上邻居", "控制面板",
                                                                "性能和维护", "桌面"};

// The text from 0-based position `from` on; empty past the end.
std::string_view From(std::string_view text, size_t from) {
  return from < text.size() ? text.substr(from) : std::string_view();
}

std::string Backslashed(std::string_view text) {
  std::string out(text);
  std::replace(out.begin(), out.end(), '/', '\\');
  return out;
}

// "///", then "//", then "/" each turned into one "\".
std::string SlashesToBackslashes(std::string_view text) {
  return ReplaceAll(ReplaceAll(ReplaceAll(text, "///", "\\"), "//", "\\"), "/", "\\");
}

}  // namespace

std::span<const std::string_view> ScanSpecialPlaceTitles() { return kScanSpecialPlaces; }

bool IsScanSpecialPlaceTitle(std::string_view trimmed_title) {
  return std::find(kScanSpecialPlaces.begin(), kScanSpecialPlaces.end(), trimmed_title) !=
         kScanSpecialPlaces.end();
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

bool IsIgnoredDoc(std::string_view address) { return IsResourceAddress(address); }

bool IsDriveRoot(std::string_view address) {
  // The longest form is FILE:\\\X:\ (11 characters); anything longer is no drive root.
  constexpr std::string_view kFileForm = "FILE:\\\\\\";
  if (address.size() > kFileForm.size() + 3) return false;
  const std::string text = Backslashed(UpperAscii(address));
  std::string_view rest = text;
  if (rest.starts_with(kFileForm)) rest.remove_prefix(kFileForm.size());
  if (rest.size() == 3 && rest[2] == '\\') rest.remove_suffix(1);
  return rest.size() == 2 && rest[1] == ':' && rest[0] >= 'C' && rest[0] <= 'J';
}

std::string GetDocRoot(std::string_view address) {
  const std::string text = Trim(address);
  if (IsFileAddress(text)) {
    // Positions count from the start of the address, which begins with
    // "file:///": the drive follows it, then one separator, then the folders.
    const std::string_view after_prefix = From(text, 8);
    const std::string drive(after_prefix.size() >= 2 && after_prefix[1] == ':'
                                ? after_prefix.substr(0, 2)
                                : std::string_view());
    const std::string folders = SlashesToBackslashes(From(text, 11));
    const size_t sep = folders.find('\\');
    return drive + "\\" + (sep == std::string::npos ? folders : folders.substr(0, sep));
  }
  const std::string_view scheme = UrlScheme(text);
  if (scheme.empty()) return {};
  const std::string_view rest = std::string_view(text).substr(scheme.size() + 3);
  return std::string(rest.substr(0, rest.find('/')));
}

std::string FileRoot(std::string_view path) {
  const std::string text = Backslashed(Trim(path));
  if (text.starts_with("\\\\")) {
    const size_t server_end = text.find('\\', 2);
    if (server_end == std::string::npos || server_end == 2) return {};
    const size_t share_end = text.find('\\', server_end + 1);
    if (share_end == std::string::npos || share_end == server_end + 1) return {};
    return text.substr(0, share_end);
  }
  const auto upper = static_cast<unsigned char>(text.size() >= 3 ? text[0] & ~0x20 : 0);
  if (upper < 'A' || upper > 'Z' || text[1] != ':' || text[2] != '\\') return {};
  const size_t first_end = text.find('\\', 3);
  // A file at the drive's root has no folder: the drive is its group.
  if (first_end == std::string::npos) return text.substr(0, 3);
  return text.substr(0, first_end);
}

std::string FileFolder(std::string_view path) {
  const std::string text = Backslashed(Trim(path));
  const size_t last = text.rfind('\\');
  // A server alone ("\\server") holds no folder.
  if (last == std::string::npos || (text.starts_with("\\\\") && last < 2)) return {};
  // The drive's root keeps its separator.
  if (last == 2 && text[1] == ':') return text.substr(0, 3);
  return text.substr(0, last);
}

std::string FileNameOfPath(std::string_view path) {
  const size_t last = path.find_last_of("\\/");
  return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

std::string FolderAddressToLocalPath(std::string_view address) {
  return SlashesToBackslashes(From(address, 8));
}

std::string RegistrationKey(std::string_view address) {
  const std::optional<std::string_view> after = AfterScheme(address, kFilePrefix);
  return after ? Trim(Backslashed(*after)) : Trim(address);
}

std::string GetDocAddress(const DocRecord& doc) {
  return doc.doctype == DocKind::kFolder ? doc.name : doc.path;
}

FoundDoc AsFound(const DocRecord& doc) {
  if (doc.doctype == DocKind::kFolder) {
    std::string address = "file:///" + doc.path;
    for (char& c : address) {
      if (c == '\\') c = '/';
    }
    return FoundDoc{address, doc.name, "explorer.exe", DocKind::kFolder};
  }
  if (doc.doctype == DocKind::kFile) return FoundDoc{doc.path, doc.name, "", DocKind::kFile};
  const std::string program = doc.doctype == DocKind::kProgram ? doc.path : "";
  return FoundDoc{doc.path, doc.name, program, doc.doctype};
}

size_t KindIndex(DocKind kind) {
  for (size_t i = 0; i < kKindCount; ++i) {
    if (kKinds[i].kind == kind) return i;
  }
  return 0;
}

const KindInfo& InfoOf(DocKind kind) { return kKinds[KindIndex(kind)]; }

std::optional<DocKind> KindOfPage(Ui page) {
  for (const KindInfo& info : kKinds) {
    if (info.page == page) return info.kind;
  }
  return std::nullopt;
}

}  // namespace zd
