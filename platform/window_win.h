// One way to make a window. A window class derives from Window and describes
// itself in a CreateArgs; the base registers the class once, keeps the object
// behind the window procedure, makes the fonts for the window's DPI and
// remakes them (and every control's place) when the DPI changes, routes
// clicks through a table from control to handler, and shows message boxes
// and modal loops the one way the program has.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/controls_win.h"

namespace zd {

// Shows a message box and returns the button pressed (IDYES, ...). Tests
// answer without a window.
using MessageBoxFn =
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT flags)>;

// The program's message box: `hook` when there is one, else the system's.
int ShowMessageBox(const MessageBoxFn& hook, HWND owner, const std::string& text,
                   const std::string& caption, UINT flags);

// Registers the class once per process; true when it is registered.
bool RegisterWindowClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC proc,
                             HBRUSH background, UINT style = 0);

// The DPI a window is shown at (its monitor's), or the system's without one.
int WindowDpi(HWND hwnd);
// Design pixels (at 96 DPI) at the DPI of `hwnd` (the system's by default).
int ScalePx(int design_pixels, HWND hwnd = nullptr);

// The top-left corner that centres a window of this size in the work area of
// the primary monitor, moved by `offset` pixels.
POINT CentreInWorkArea(int width, int height, POINT offset = {0, 0});

// Runs a modal loop while `window` is shown: its owner is disabled meanwhile.
// A WM_QUIT that arrives ends the loop and is posted again for the main loop.
void RunModal(HWND window, HWND owner);

class Window {
 public:
  enum class Place {
    kDefault,     // where Windows puts it
    kCentred,     // in the middle of the work area (moved by centre_offset)
    kAt,          // at (x, y) design pixels in its parent
    kFillParent,  // the parent's whole client area
  };
  struct CreateArgs {
    const wchar_t* class_name = nullptr;
    HBRUSH background = nullptr;  // nullptr: the form colour
    std::string caption;
    DWORD style = 0;
    DWORD ex_style = 0;
    HWND parent = nullptr;  // the owner of a top-level window
    Place place = Place::kDefault;
    int x = 0, y = 0;           // design pixels (kAt)
    int width = 0, height = 0;  // design pixels
    POINT centre_offset{};      // pixels (kCentred)

    // A dialog-like window over `owner`, centred in the work area: a modal
    // frame with a caption and the system menu, sizeable or a plain popup.
    static CreateArgs Dialog(const wchar_t* class_name, std::string caption, HWND owner, int width,
                             int height, bool sizeable = false);
    // A child window of `parent` that holds controls of its own.
    static CreateArgs Child(const wchar_t* class_name, HWND parent, Place place);
  };

  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }
  int dpi() const { return dpi_; }
  ControlFactory& factory() { return factory_; }
  const Fonts& fonts() const { return fonts_; }
  // Design pixels (96 DPI) at the window's DPI.
  int Px(int design_pixels) const { return factory_.Px(design_pixels); }
  // The client area's width and height, in pixels.
  std::pair<int, int> ClientSize() const;

  // A click on `control` (a button's or a notifying static's) runs `handler`.
  void OnClick(const Control& control, std::function<void()> handler);
  // The window's message box: the hook given, else the system's, owned by the window.
  int ShowMessage(const std::string& text, const std::string& caption, UINT flags) const;
  void set_message_box(MessageBoxFn message_box) { message_box_ = std::move(message_box); }
  // Shows nothing itself: the loop runs while the window is shown.
  void RunModal(HWND owner) const { zd::RunModal(hwnd_, owner); }

  // Draws the window for `dpi`: new fonts, every control at its design place
  // at the new scale, then the window's own layout.
  void Rescale(int dpi);

 protected:
  Window();
  // Registers the class (once) and creates the window; OnCreate and Layout
  // run inside. False when the window could not be made.
  bool Create(const CreateArgs& args);
  // `window` created from `args`, or nothing.
  template <typename T>
  static std::unique_ptr<T> Made(std::unique_ptr<T> window, const CreateArgs& args) {
    if (!window->Window::Create(args)) return nullptr;
    return window;
  }

  // The window's controls, made with factory() at design places.
  virtual void OnCreate() {}
  // Places what depends on the client area's size; runs after OnCreate, on
  // WM_SIZE and after a rescale.
  virtual void Layout() {}
  // What a rescale must redo besides fonts and places (item sizes, say).
  virtual void OnRescaled() {}
  // Every other message; the default is DefWindowProc.
  virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);

  HWND hwnd_ = nullptr;
  Fonts fonts_;
  ControlFactory factory_;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void SetScale(int dpi);
  void TellChildWindows(int dpi);

  int dpi_ = 96;
  // A child placed at design pixels keeps that place at every scale.
  Place place_ = Place::kDefault;
  RECT design_{};
  MessageBoxFn message_box_;
  std::vector<std::pair<HWND, std::function<void()>>> clicks_;
};

}  // namespace zd
