// Fixture of the layering check: a Win32 file may catch (a window procedure).
void Handle(void (*handler)()) {
  try {
    handler();
  } catch (...) {
  }
}
