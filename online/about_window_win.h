// The about box. Its picture and its labels open the vendor's home page when
// clicked. Created on first use, kept for the run: closing only hides it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "lang/service_texts.h"
#include "platform/controls_win.h"
#include "platform/handles_win.h"
#include "platform/window_win.h"

namespace zd {

class AboutWindow : public Window {
 public:
  struct Deps {
    std::string caption;  // "%s %s" of the about word and the product name
    std::string product;
    std::string version;  // "%1.1f" of the running version
    const lang::ServiceTexts* texts = nullptr;
    std::function<void()> open_home_page;
    // A build with a throwaway update key says so: it must not pass for a release.
    bool test_build = false;
  };

  static std::unique_ptr<AboutWindow> Create(HWND owner, Deps deps);
  ~AboutWindow() override;

  // Brings the box to the front with a 500 ms fade-in.
  void ShowAnimated();

  Label Picture;
  Label LblProduct, LblVersion, LblDescription, LblCopyright, LblHome;
  Button BtnOk;
  Label LblTestBuild;  // only in a build with a throwaway key

 private:
  explicit AboutWindow(Deps deps) : deps_(std::move(deps)) {}
  void OnCreate() override;
  void OnRescaled() override;
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool IsLink(HWND control) const;
  void LabelClick();

  Deps deps_;
  UniqueIcon icon_;
};

}  // namespace zd
