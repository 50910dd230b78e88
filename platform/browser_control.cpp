#include "platform/browser_control.h"

namespace zd {

std::unique_ptr<PageView> PageViewWithEngine(std::unique_ptr<BrowserControl> control) {
  if (!control || !control->HtmlEngineAvailable()) return nullptr;
  return control;
}

}  // namespace zd
