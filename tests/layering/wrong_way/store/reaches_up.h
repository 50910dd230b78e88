// Fixture of the layering check: a store header that reaches up into the window.
#pragma once
#include "mainwin/main_window_win.h"
