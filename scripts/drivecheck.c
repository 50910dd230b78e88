// Prints the drives as Windows programs see them and succeeds only when the
// last fixed drive is the letter given as argument. The program keeps its data
// on the last fixed drive, so tests must never let that be Wine's Z: (the
// machine's root). With a second argument "desktop" it also asks for the
// desktop window, which makes Wine start its desktop process now, detached
// from the output of the tests that come later.
#include <stdio.h>
#include <string.h>
#include <windows.h>

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3 || argv[1][0] == 0) {
    fprintf(stderr, "usage: drivecheck LETTER [desktop]\n");
    return 2;
  }
  if (argc == 3 && strcmp(argv[2], "desktop") == 0 && GetDesktopWindow() == NULL) {
    fprintf(stderr, "no desktop window\n");
    return 4;
  }
  wchar_t drives[512];
  DWORD n = GetLogicalDriveStringsW(sizeof drives / sizeof drives[0], drives);
  if (n == 0 || n >= sizeof drives / sizeof drives[0]) {
    fprintf(stderr, "GetLogicalDriveStringsW failed\n");
    return 3;
  }
  wchar_t last_fixed = 0;
  for (const wchar_t* d = drives; *d; d += wcslen(d) + 1) {
    UINT type = GetDriveTypeW(d);
    printf("%lc: type %u\n", d[0], type);
    if (type == DRIVE_FIXED) last_fixed = d[0];
  }
  char want = argv[1][0] & ~0x20;
  printf("last fixed drive: %lc\n", last_fixed ? last_fixed : L'-');
  return last_fixed == (wchar_t)want ? 0 : 1;
}
