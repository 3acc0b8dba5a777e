; The Corvalet installer. scripts/make-dist builds it from the laid-out dist folder:
;   makensis -DVERSION=2.0.0.0 -DPRODUCT_VERSION=2.0 -DSOURCE=.../Corvalet -DICON=... -DOUTFILE=...
; It installs the program, the hook, the help and the language libraries, a Start menu folder and,
; when chosen, a start with Windows. Its uninstaller first closes a running Corvalet, which shows
; every icon again, and then removes everything but the user's settings file (QLCvl.ini, kept in
; the Windows folder, or in Application Data\Quillon where the Windows folder refused it).
Unicode false
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "WinMessages.nsh"

!define PRODUCT "Quillon Corvalet"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvalet"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "${PRODUCT} ${PRODUCT_VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Corvalet"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "Quillon"
VIAddVersionKey "FileDescription" "Corvalet setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${PRODUCT_VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (c) Quillon"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Corvalet.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks a running Corvalet to end (its orderly end shows every icon again) and waits for its
; window to go, at most ten seconds. Used once in each section, so its labels stay unique.
!macro CloseCorvalet
  FindWindow $0 "TMainForm" "Quillon Corvalet"
  StrCmp $0 0 close_done
  SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=10000
  StrCpy $1 0
close_wait:
  FindWindow $0 "TMainForm" "Quillon Corvalet"
  StrCmp $0 0 close_gone
  Sleep 250
  IntOp $1 $1 + 1
  IntCmp $1 40 close_gone close_wait close_gone
close_gone:
  Sleep 500  ; the library leaves the shell's process a moment after the hook is removed
close_done:
!macroend

; The program and its Start menu folder are for every user of the machine.
Function .onInit
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "Corvalet" SecMain
  SectionIn RO
  !insertmacro CloseCorvalet
  SetOutPath "$INSTDIR"
  File "${SOURCE}\Corvalet.exe"
  File "${SOURCE}\Snarehook.dll"
  File "${SOURCE}\ReadMe.txt"
  File "${SOURCE}\*.lng"
  SetOutPath "$INSTDIR\Help"
  File /r "${SOURCE}\Help\*.*"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateDirectory "$SMPROGRAMS\Corvalet"
  CreateShortCut "$SMPROGRAMS\Corvalet\Corvalet.lnk" "$INSTDIR\Corvalet.exe"
  ; The help in HTML Help's window where the system has it, else its pages in the browser.
  IfFileExists "$SYSDIR\hhctrl.ocx" 0 help_pages
    CreateShortCut "$SMPROGRAMS\Corvalet\Corvalet Help.lnk" "$INSTDIR\Help\Corvalet.chm"
    Goto help_done
  help_pages:
    CreateShortCut "$SMPROGRAMS\Corvalet\Corvalet Help.lnk" "$INSTDIR\Help\index.html"
  help_done:
  CreateShortCut "$SMPROGRAMS\Corvalet\Uninstall Corvalet.lnk" "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${PRODUCT_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Quillon"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Corvalet.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section /o "Start with Windows" SecRun
  WriteRegStr HKCU "${RUN_KEY}" "Corvalet" '"$INSTDIR\Corvalet.exe"'
SectionEnd

LangString DESC_Main ${LANG_ENGLISH} "The program, its tray hook, the help and the language libraries."
LangString DESC_Run ${LANG_ENGLISH} "Start Corvalet each time you log on to Windows."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} $(DESC_Main)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecRun} $(DESC_Run)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "Uninstall"
  !insertmacro CloseCorvalet
  Delete "$INSTDIR\Corvalet.exe"
  ; The shell may still hold the hook library for a moment; then it goes at the next restart.
  Delete /REBOOTOK "$INSTDIR\Snarehook.dll"
  Delete "$INSTDIR\ReadMe.txt"
  Delete "$INSTDIR\*.lng"
  RMDir /r "$INSTDIR\Help"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
  Delete "$SMPROGRAMS\Corvalet\Corvalet.lnk"
  Delete "$SMPROGRAMS\Corvalet\Corvalet Help.lnk"
  Delete "$SMPROGRAMS\Corvalet\Uninstall Corvalet.lnk"
  RMDir "$SMPROGRAMS\Corvalet"
  DeleteRegValue HKCU "${RUN_KEY}" "Corvalet"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
