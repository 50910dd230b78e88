// One embedded web view as the vendor-content page uses it. The program's
// browser host provides them; without one (or without an HTML engine, as
// under Wine) the page says so and offers its address in the default browser.
#pragma once

#include <functional>
#include <string>

namespace zd {

class PageView {
 public:
  virtual ~PageView() = default;
  virtual void Navigate(const std::string& url) = 0;
  virtual std::string Address() = 0;
  virtual void SetBounds(int x, int y, int width, int height) = 0;
  virtual void Show(bool visible) = 0;

  // Events, on the interface thread.
  std::function<void(const std::string& title)> on_title_change;
  // A page finished loading; `has_body` when its document has a non-empty body.
  std::function<void(bool has_body)> on_document_complete;
  // The page asks to open `url` in a new window. True: handled here (the
  // page's own request is then refused).
  std::function<bool(const std::string& url)> on_new_window;
};

}  // namespace zd
