// A main window on fakes for the window benchmarks: files, registry, windows,
// shell windows and the shell in memory; no tray icon, no quit at its end.
#pragma once

#include <windows.h>

#include <memory>

#include "mainwin/main_window_win.h"
#include "platform/fake_files.h"
#include "platform/fake_registry.h"
#include "platform/fake_shell_launcher.h"
#include "platform/fake_shell_windows.h"
#include "platform/fake_window_system.h"
#include "platform/registry.h"

namespace zd::bench {

struct FakeMainWindow {
  FakeRegistry registry;
  FakeWindowSystem windows;
  FakeShellWindows shell;
  FakeShellLauncher launcher;
  ConfigDirChoice config;  // outlives the window

  // Made and shown; null when the window could not be made.
  std::unique_ptr<MainWindow> Open(Files& files, const AnsiCodec& codec) {
    config = ChooseConfigDir(files, &registry);
    MainWindowDeps deps;
    deps.config = &config;
    deps.files = &files;
    deps.codec = &codec;
    deps.registry = &registry;
    deps.windows = &windows;
    deps.shell = &shell;
    deps.launcher = &launcher;
    deps.post_quit_on_destroy = false;
    deps.add_tray_icon = false;
    auto form = MainWindow::Create(deps);
    if (form) ShowWindow(form->hwnd(), SW_SHOW);
    return form;
  }
};

}  // namespace zd::bench
