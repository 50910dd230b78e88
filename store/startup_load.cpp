#include "store/startup_load.h"

#include <algorithm>

#include "store/AppParams.h"

namespace zd {

int ClampCheckInterval(int seconds) {
  return std::clamp(seconds, kMinCheckInterval, kMaxCheckInterval);
}

DefaultSettings ReadDefaultSettings(const SettingsFile& s) {
  DefaultSettings d;
  d.show_fav_edit = s.ReadBool(kSectionDefault, "ShowFavEdit", true);
  d.need_remove_url = s.ReadBool(kSectionDefault, "needremoveurl", false);
  d.run_select_doc = s.ReadBool(kSectionDefault, "RunSelectDoc", false);
  d.refresh = s.ReadBool(kSectionDefault, "CbRefresh", false);
  d.query_auto_run_doc = s.ReadBool(kSectionDefault, "QueryAutoRunDoc", false);
  d.control_index = s.ReadInteger(kSectionDefault, "ControlIndex", 0);
  d.check_interval =
      ClampCheckInterval(s.ReadInteger(kSectionDefault, "CheckDocInterval", kDefaultCheckInterval));
  return d;
}

}  // namespace zd
