// TFrmVersion: the about box. Its labels and its picture open the vendor's
// home page when clicked.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "lang/service_texts.h"
#include "platform/handles_win.h"

namespace zd {

class TFrmVersion {
 public:
  static constexpr wchar_t kClassName[] = L"ZapdockAboutWindow";
  struct Deps {
    std::string caption;  // "%s %s" of the about word and the product name
    std::string product;
    std::string version;  // "%1.1f" of the running version
    const lang::ServiceTexts* texts = nullptr;
    std::function<void()> open_home_page;
    // A build with a throwaway update key says so: it must not pass for a release.
    bool test_build = false;
  };
  enum Control : int {
    kImage1 = 100,
    kLblProduct,
    kLblVersion,
    kLblDescription,
    kLblCopyright,
    kLblHome,
    kBtnOk,
    kLblTestBuild
  };

  static std::unique_ptr<TFrmVersion> Create(HINSTANCE instance, HWND owner, Deps deps);
  ~TFrmVersion();
  TFrmVersion(const TFrmVersion&) = delete;
  TFrmVersion& operator=(const TFrmVersion&) = delete;

  // Brings the box to the front with a 500 ms fade-in.
  void ShowAnimated();
  HWND hwnd() const { return hwnd_; }
  HWND control(Control id) const { return GetDlgItem(hwnd_, id); }

  HWND hwnd_ = nullptr;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);

 private:
  explicit TFrmVersion(Deps deps) : deps_(std::move(deps)) {}
  void FormCreate();
  void LabelClick();

  Deps deps_;
  UniqueFont font_, title_font_;
  UniqueIcon icon_;
};

}  // namespace zd
