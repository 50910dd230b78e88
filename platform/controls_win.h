// Typed wrappers of the plain Win32 controls the window is built from, and the
// factory that creates them at their design places and rescales them when the
// DPI changes. A page holds its controls as members of these types.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/handles_win.h"

namespace zd {

class Control {
 public:
  HWND hwnd() const { return hwnd_; }
  explicit operator bool() const { return hwnd_ != nullptr; }
  // The control's own visibility flag, whether or not its parents are shown.
  bool Visible() const;
  void Show(bool shown) const;
  std::string Text() const;
  void SetText(std::string_view text) const;
  // Pixels in the parent's client area.
  void Place(int x, int y, int width, int height) const;
  RECT RectInParent() const;
  void BringToTop() const;
  void SendToBottom() const;
  // Posts the click a user's press makes (BN_CLICKED to the parent).
  void PostClick() const;

 private:
  friend class ControlFactory;
  HWND hwnd_ = nullptr;
};

using Panel = Control;
using Label = Control;
using GroupBox = Control;
using Edit = Control;
using TreeView = Control;

class Button : public Control {
 public:
  void SetImage(HBITMAP image) const;
};

class CheckBox : public Control {
 public:
  bool Checked() const;
  void SetChecked(bool checked) const;
};

class ListBox : public Control {
 public:
  int Count() const;
  std::string Row(int index) const;
};

// A drop-down list of texts; an item's index is its meaning.
class ComboBox : public Control {
 public:
  int Count() const;
  void AddItem(std::string_view text) const;
  int Selected() const;  // -1: none
  void Select(int index) const;
  std::string ItemText(int index) const;
};

class TabControl : public Control {
 public:
  int Selected() const;
  void Select(int index) const;
  int Count() const;
  void AddTab(std::string_view caption) const;
  void InsertTab(int index, std::string_view caption) const;
  void DeleteTab(int index) const;
  void SetTabText(int index, std::string_view caption) const;
  std::string TabText(int index) const;
};

class ScrollBar : public Control {
 public:
  void SetRange(int minimum, int maximum, int position) const;
  SCROLLINFO Info() const;
  int Position() const;
  void SetPosition(int position) const;
};

class ProgressBar : public Control {
 public:
  void SetStep(int step) const;
  void Step() const;
  void SetPosition(int position) const;
};

// The window's fonts, made for the current DPI: "宋体" at the design heights,
// and the font of the system's message boxes (plain, as a title, as a link).
struct Fonts {
  enum Role { kNormal, kFavEdit, kSmall, kTab, kMessage, kTitle, kLink };
  UniqueFont normal, fav_edit, small, tab, message, title, link;
  void Make(double scale);
  HFONT Get(Role role) const;
};

class ControlFactory {
 public:
  ControlFactory(HINSTANCE instance, const Fonts& fonts) : instance_(instance), fonts_(fonts) {}

  double scale() const { return scale_; }
  void set_scale(double scale) { scale_ = scale; }
  // Design pixels (96 DPI) to pixels at the current DPI.
  int Px(int design_pixels) const;

  // Creates `control` as a child of `parent` at a design rectangle, in the
  // window's font. False when the window could not be made.
  bool Make(Control& control, const wchar_t* window_class, std::string_view text, DWORD style,
            HWND parent, int x, int y, int width, int height, DWORD ex_style = 0,
            Fonts::Role font = Fonts::kNormal);
  // A tooltip over `control`; nothing for an empty hint.
  void AddHint(const Control& control, std::string_view hint);
  // Changes the hint of a control (adding it when it has none yet).
  void SetHint(const Control& control, std::string_view hint);
  // Hides the hint that is showing.
  void CancelHint();
  HWND tooltip() const { return tooltip_; }
  void CreateTooltip(HWND owner);

  // A group box only frames its neighbours: under them, or it paints over the
  // controls it is meant to hold. Siblings made later lie below it, so this
  // runs once they all exist.
  void SendGroupBoxesToBottom();

  // Every control made goes back to its design rectangle at the new scale,
  // in the fonts made for it.
  void Rescale(double scale);

 private:
  struct Made {
    HWND hwnd;
    RECT design;
    Fonts::Role font;
  };
  HINSTANCE instance_;
  const Fonts& fonts_;
  double scale_ = 1.0;
  UINT next_id_ = 100;
  HWND tooltip_ = nullptr;
  std::vector<Made> made_;
  std::vector<HWND> group_boxes_;
};

}  // namespace zd
