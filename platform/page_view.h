// One embedded web view: the browser host serves it where the system has an
// HTML engine (fakes in the tests); without one there is no view at all and
// its user says so.
#pragma once

#include <functional>
#include <string>

namespace zd {

class PageView {
 public:
  virtual ~PageView() = default;
  virtual bool Navigate(const std::string& url) = 0;
  // The address of the page shown (or being loaded); empty before any.
  virtual std::string Address() = 0;
  // Pixels in the parent window's client area.
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
