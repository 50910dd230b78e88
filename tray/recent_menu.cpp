#include "tray/recent_menu.h"

#include "platform/utf8.h"
#include "store/doc.h"

namespace zd {

TrayClick ClassifyTrayMessage(uint32_t event, bool version4) {
  constexpr uint32_t kLeftDown = 0x0201;     // WM_LBUTTONDOWN
  constexpr uint32_t kRightDown = 0x0204;    // WM_RBUTTONDOWN
  constexpr uint32_t kContextMenu = 0x007B;  // WM_CONTEXTMENU
  constexpr uint32_t kSelect = 0x0400;       // NIN_SELECT (WM_USER)
  constexpr uint32_t kKeySelect = 0x0401;    // NIN_KEYSELECT
  if (version4) {
    if (event == kSelect || event == kKeySelect) return TrayClick::kShowWindow;
    if (event == kContextMenu) return TrayClick::kOpenMenu;
    return TrayClick::kNone;
  }
  if (event == kLeftDown) return TrayClick::kShowWindow;
  if (event == kRightDown) return TrayClick::kOpenMenu;
  return TrayClick::kNone;
}

std::string MenuText(std::string_view name) {
  std::string text;
  size_t chars = 0, pos = 0;
  while (pos < name.size()) {
    size_t length = Utf8SequenceLength(name, pos);
    if (length == 0) length = 1;
    if (chars == kMenuCaptionChars) {
      text += "\xE2\x80\xA6";  // …
      break;
    }
    if (name[pos] == '&') text += '&';
    text.append(name.substr(pos, length));
    pos += length;
    ++chars;
  }
  return text;
}

std::vector<RecentMenuEntry> RecentMenuEntries(const std::vector<std::string>& lines) {
  std::vector<RecentMenuEntry> entries;
  const size_t count = lines.size() < kRecentMenuEntries ? lines.size() : kRecentMenuEntries;
  for (size_t i = count; i-- > 0;) {
    DocLine doc;
    ListLineSplit(lines[i], doc);
    // Full-width brackets around the number, its accelerator after the first.
    entries.push_back(
        {"\xEF\xBC\x88&" + std::to_string(i + 1) + "\xEF\xBC\x89 " + MenuText(doc.name), doc.path,
         doc.name});
  }
  return entries;
}

}  // namespace zd
