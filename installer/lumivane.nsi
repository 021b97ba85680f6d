; The Lumivane installer: puts Lumivane.scr and Lumivane.dll into the system folder of their width,
; registers an uninstaller, and offers to make Lumivane the current screensaver.
; Built by scripts/make-release:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.1.0 -DARCH=x64|x86 -DPROGRAMS=<folder of the two programs>
;            -DROOT=<source tree> -DSIZE_KB=<size of the two programs> -DOUTFILE=<installer> installer/lumivane.nsi
Unicode true
!if "${ARCH}" == "x64"
  Target amd64-unicode
!else
  Target x86-unicode
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh

!define PRODUCT "Lumivane"
!define PUBLISHER "the Lumivane authors"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumivane"
!define DESKTOP_KEY "Control Panel\Desktop"
!define MEMORY_KEY "Software\Lumivane"        ; the user's screensaver before Lumivane, to give back
!define SAVER_BEFORE "ScreenSaverBefore"      ; empty: there was none
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATE_AND_TELL 3       ; SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE
!define ELEVATION_REQUIRED 740       ; ERROR_ELEVATION_REQUIRED, the exit code without administrator rights
!define REBOOT_REQUIRED 3010         ; ERROR_SUCCESS_REBOOT_REQUIRED, the exit code when files wait for a restart
!define END_PROCESS_ACCESS 0x100001  ; SYNCHRONIZE | PROCESS_TERMINATE
!define CLOSE_WAIT_MS 3000           ; for a shell asked to close: it stops its music and ends at once
!define TERMINATE_WAIT_MS 2000       ; for a process ended by force
!define PROCESSES_ENDED_AT_MOST 8    ; per window title, so that one that cannot be ended is not tried for ever

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
BrandingText "${PRODUCT} ${VERSION}"
; The programs go to the system folder; only the uninstaller lives here.
!if "${ARCH}" == "x64"
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}"

!define MUI_ICON "${ROOT}\assets\dialog.ico"
!define MUI_UNICON "${ROOT}\assets\dialog.ico"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(MakeCurrentText)"
!define MUI_FINISHPAGE_RUN_FUNCTION MakeCurrentAndOpenSettings
!insertmacro MUI_PAGE_LICENSE "${ROOT}\LICENSE"
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString MakeCurrentText ${LANG_ENGLISH} "Make Lumivane the current screensaver and open the screensaver settings"
LangString MakeCurrentText ${LANG_JAPANESE} "Lumivane を現在のスクリーンセーバーにして、スクリーンセーバーの設定を開く"
LangString NeedsAdministrator ${LANG_ENGLISH} "Lumivane is installed into the Windows system folder: please run this setup as an administrator."
LangString NeedsAdministrator ${LANG_JAPANESE} "Lumivane は Windows のシステムフォルダーにインストールされます。管理者として実行してください。"
LangString RemovedAtRestart ${LANG_ENGLISH} "Lumivane is still in use. Its remaining files will be removed when Windows restarts."
LangString RemovedAtRestart ${LANG_JAPANESE} "Lumivane はまだ使用中です。残りのファイルは Windows の再起動時に削除されます。"

Var ProgramPath   ; where Lumivane.scr lands, as Windows must find it

; The 64-bit installer writes the 64-bit registry and System32. The 32-bit one writes to
; $SYSDIR, which 64-bit Windows redirects to SysWOW64; the screensaver setting must name that.
!macro FindProgramPath
  !if "${ARCH}" == "x64"
    SetRegView 64
    StrCpy $ProgramPath "$SYSDIR\Lumivane.scr"
  !else
    ${If} ${RunningX64}
      StrCpy $ProgramPath "$WINDIR\SysWOW64\Lumivane.scr"
    ${Else}
      StrCpy $ProgramPath "$SYSDIR\Lumivane.scr"
    ${EndIf}
  !endif
!macroend

!macro RequireAdministrator
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_OK|MB_ICONSTOP "$(NeedsAdministrator)" /SD IDOK
    SetErrorLevel ${ELEVATION_REQUIRED}
    Quit
  ${EndIf}
!macroend

Function .onInit
  !insertmacro RequireAdministrator
  !insertmacro FindProgramPath
FunctionEnd

Function un.onInit
  !insertmacro RequireAdministrator
  !insertmacro FindProgramPath
FunctionEnd

; Lumivane becomes the current screensaver, and Windows is told. The user's own screensaver is
; remembered first, unless Lumivane already is the current one (an upgrade keeps what it remembered).
Function MakeCurrent
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 != $ProgramPath
    WriteRegStr HKCU "${MEMORY_KEY}" "${SAVER_BEFORE}" "$0"
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$ProgramPath"
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATE_AND_TELL})'
FunctionEnd

Function MakeCurrentAndOpenSettings
  Call MakeCurrent
  Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
FunctionEnd

; Over an older version the files, the uninstaller and the one Uninstall entry are replaced.
Section "Lumivane"
  SetOverwrite on
  SetOutPath "$SYSDIR"
  File "${PROGRAMS}\Lumivane.scr"
  File "${PROGRAMS}\Lumivane.dll"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$ProgramPath,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; A silent install has no finish page: the check box's default stands, without opening any window.
  ${If} ${Silent}
    Call MakeCurrent
  ${EndIf}
SectionEnd

; Ends each process that shows a top-level window of the title on the stack: after a close request
; when the wait (ms) under it on the stack is not 0, by force when it has not ended by then.
Function un.EndProcessesShowing
  Exch $R0   ; the title
  Exch
  Exch $R1   ; the wait after the close request
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  StrCpy $R5 0
  ${Do}
    FindWindow $R2 "" "$R0"
    ${IfThen} $R2 == 0 ${|} ${Break} ${|}
    ${IfThen} $R5 >= ${PROCESSES_ENDED_AT_MOST} ${|} ${Break} ${|}
    IntOp $R5 $R5 + 1
    System::Call 'user32::GetWindowThreadProcessId(p $R2, *i .r14)'
    System::Call 'kernel32::OpenProcess(i ${END_PROCESS_ACCESS}, i 0, i $R4) p .r13'
    ${IfThen} $R3 == 0 ${|} ${Continue} ${|}
    StrCpy $R4 1
    ${If} $R1 != 0
      System::Call 'user32::PostMessageW(p $R2, i ${WM_CLOSE}, p 0, p 0)'
      System::Call 'kernel32::WaitForSingleObject(p $R3, i $R1) i .r14'
    ${EndIf}
    ${If} $R4 != 0
      System::Call 'kernel32::TerminateProcess(p $R3, i 1)'
      System::Call 'kernel32::WaitForSingleObject(p $R3, i ${TERMINATE_WAIT_MS})'
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p $R3)'
  ${Loop}
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd

!macro EndProcessesShowing TITLE CLOSE_WAIT
  Push ${CLOSE_WAIT}
  Push "${TITLE}"
  Call un.EndProcessesShowing
!macroend

; The settings are the user's (in %APPDATA%\Lumivane, or beside a copy the user placed): they stay.
; A running saver or settings dialog is ended first, as Windows keeps a running program's file; the
; saver's shell is asked to close, so that it stops its music and shows the pointer again, and the
; renderer, which only input closes, is ended by force. Files still in use (a preview that the
; system's settings show, say) are removed at the next restart, and the user is told.
Section "Uninstall"
  !insertmacro EndProcessesShowing "Glimra_Main" ${CLOSE_WAIT_MS}
  !insertmacro EndProcessesShowing "<Lumivane>" ${CLOSE_WAIT_MS}
  !insertmacro EndProcessesShowing "Glimra_VC" 0
  ; The user's screensaver before Lumivane comes back while Lumivane is still the current one and that
  ; saver's file is still there; one the user chose since stays.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ReadRegStr $1 HKCU "${MEMORY_KEY}" "${SAVER_BEFORE}"
  ${If} $0 == $ProgramPath
    ${If} $1 != ""
    ${AndIf} ${FileExists} "$1"
      WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$1"
    ${Else}
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${EndIf}
  ${EndIf}
  DeleteRegValue HKCU "${MEMORY_KEY}" "${SAVER_BEFORE}"
  DeleteRegKey /ifempty HKCU "${MEMORY_KEY}"
  Delete /REBOOTOK "$SYSDIR\Lumivane.scr"
  Delete /REBOOTOK "$SYSDIR\Lumivane.dll"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ${If} ${RebootFlag}
    DetailPrint "$(RemovedAtRestart)"
    MessageBox MB_OK|MB_ICONINFORMATION "$(RemovedAtRestart)" /SD IDOK
    SetErrorLevel ${REBOOT_REQUIRED}
  ${EndIf}
SectionEnd
