#include "store/startup_load.h"

#include <algorithm>

#include "store/program_files.h"
#include "store/settings_keys.h"

namespace zd {

int ClampCheckInterval(int seconds) {
  return std::clamp(seconds, kMinCheckInterval, kMaxCheckInterval);
}

DefaultSettings ReadDefaultSettings(const SettingsFile& s) {
  DefaultSettings d;
  using namespace setting;
  d.show_fav_edit = s.ReadBool(kShowFavEdit.section, kShowFavEdit.name, true);
  d.run_select_doc = s.ReadBool(kRunSelectDoc.section, kRunSelectDoc.name, false);
  d.refresh = s.ReadBool(kRefresh.section, kRefresh.name, false);
  d.query_auto_run_doc = s.ReadBool(kQueryAutoRunDoc.section, kQueryAutoRunDoc.name, false);
  d.control_index = s.ReadInteger(kControlIndex.section, kControlIndex.name, 0);
  d.hotkey = s.ReadInteger(kHotkey.section, kHotkey.name, d.hotkey);
  d.rank_search = s.ReadBool(kRankSearch.section, kRankSearch.name, d.rank_search);
  d.check_interval = ClampCheckInterval(
      s.ReadInteger(kCheckDocInterval.section, kCheckDocInterval.name, kDefaultCheckInterval));
  return d;
}

}  // namespace zd
