; The Zapdock setup: installs zapdock.exe and makes exactly what the program's
; uninstall mode ("zapdock.exe uninstall") removes again: the two shortcuts in
; the "MRX软件" groups of the user's desktop and Programs menu, the program's
; key below HKCU\Software\VazOzod and the uninstall key under HKLM.
;
;   makensis -DEXE=<zapdock.exe> -DOUTFILE=<setup.exe> -DVERSION=<project version>
;            [-DLANGUAGE=SimpChinese|TradChinese|English] [-DZD_SILENT] zapdock.nsi
;
; The vendor serves this setup as "setupZD.exe" for the update. A running
; Zapdock is asked to close (WM_CLOSE, so that it saves); nothing is killed.
; The setup runs elevated; Zapdock is started afterwards as the logged-on
; user, through the shell (StartZapdockAsUser), never as its child.
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!ifndef EXE
  !error "-DEXE=<path of zapdock.exe> is required"
!endif
!ifndef OUTFILE
  !define OUTFILE "setupZD.exe"
!endif
; The build passes the project's version (CMakeLists.txt): it has no other home.
!ifndef VERSION
  !error "-DVERSION=<the project's version> is required"
!endif
!ifndef LANGUAGE
  !define LANGUAGE "SimpChinese"
!endif

!define PRODUCT "Zapdock"
!define MAKER_GROUP "MRX软件"
!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define PROGRAM_KEY "Software\VazOzod\VAROV"
!define MAIN_WINDOW_CLASS "ZapdockMainWindow"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${MAKER_GROUP}\${PRODUCT}"
BrandingText "MRX"

!ifdef ZD_SILENT
  SilentInstall silent
!endif

!include "MUI2.nsh"
!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartZapdockAsUser
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_LANGUAGE "${LANGUAGE}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "MRX"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (C) MRX"

; Asks a running Zapdock to close and waits for it (about 10 s at most).
Function CloseRunningZapdock
  StrCpy $1 0
  again:
    FindWindow $0 "${MAIN_WINDOW_CLASS}" ""
    StrCmp $0 0 done
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    Sleep 200
    IntOp $1 $1 + 1
    IntCmp $1 50 done again done
  done:
FunctionEnd

; A child of this elevated setup would run elevated too. The running shell
; (the user's own Explorer) starts the program instead, as the user.
Function StartZapdockAsUser
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\zapdock.exe"'
FunctionEnd

!ifdef ZD_SILENT
; The silent test setup has no finish page: it does what that page does when
; its box stays ticked, so that the start after an update can be seen.
Function .onInstSuccess
  Call StartZapdockAsUser
FunctionEnd
!endif

Section "${PRODUCT}"
  Call CloseRunningZapdock
  ; The uninstall mode looks for the shortcuts in the current user's folders.
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "/oname=zapdock.exe" "${EXE}"

  CreateDirectory "$DESKTOP\${MAKER_GROUP}"
  CreateShortcut "$DESKTOP\${MAKER_GROUP}\${PRODUCT}.lnk" "$INSTDIR\zapdock.exe"
  CreateDirectory "$SMPROGRAMS\${MAKER_GROUP}"
  CreateShortcut "$SMPROGRAMS\${MAKER_GROUP}\${PRODUCT}.lnk" "$INSTDIR\zapdock.exe"

  WriteRegStr HKCU "${PROGRAM_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "MRX"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zapdock.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\zapdock.exe" uninstall'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd
