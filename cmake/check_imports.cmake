# Fails when the program imports a DLL that is not one of the system's known
# DLLs (or comctl32, which its manifest takes from the side-by-side store):
# Windows looks for any other in the program's own folder first, before the
# entry could say otherwise. Such a DLL is loaded at run time by its full
# path (platform/dll_search_win.h).
#   cmake -DEXE=zapdock.exe -DOBJDUMP=i686-w64-mingw32-objdump -P check_imports.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} could not read ${EXE}")
endif()
set(allowed kernel32.dll user32.dll gdi32.dll shell32.dll ole32.dll oleaut32.dll advapi32.dll
            comctl32.dll shlwapi.dll comdlg32.dll msvcrt.dll)
string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
set(found)
set(refused)
foreach(line IN LISTS lines)
  string(REPLACE "DLL Name: " "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  list(APPEND found ${dll})
  if(NOT dll IN_LIST allowed)
    list(APPEND refused ${dll})
  endif()
endforeach()
if(NOT found)
  message(FATAL_ERROR "no imports read from ${EXE}")
endif()
if(refused)
  message(FATAL_ERROR "${EXE} imports ${refused}: load them by their full system path instead")
endif()
message(STATUS "imports: ${found}")
