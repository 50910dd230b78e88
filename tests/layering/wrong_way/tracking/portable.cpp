// Fixture of the layering check: a portable file that includes Win32.
#include <windows.h>
