; The Windows installer, made on Debian with NSIS's makensis by scripts/windows:
;   makensis -DVERSION=X.Y.Z -DBUILD=<folder of the programs> -DOUT=<installer> lincell.nsi
; It installs for the user who runs it, needing no administrator: both programs,
; the font, README.txt and LICENSE.txt in one folder, a Start menu folder with the
; toy and its uninstaller, and an entry in "Apps & features". The uninstaller
; removes exactly what was installed. /S installs and uninstalls silently.
; Nothing of the user's is overwritten or lost: a folder that holds anything but
; an earlier lincell is refused; a program that is running (and so cannot be
; replaced or removed) fails the install or the uninstall, which says so and, with
; /S, exits with status 2, leaving the earlier install whole; an uninstaller
; removes the shortcuts and the uninstall entry only when they are its own.
Target amd64-unicode ; a 64-bit installer for 64-bit programs
!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define NAME "lincell"
!define PUBLISHER "lincell developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\lincell"

Name "${NAME} ${VERSION}"
OutFile "${OUT}"
InstallDir "$LOCALAPPDATA\Programs\lincell"
InstallDirRegKey HKCU "Software\lincell" "InstallDir"
RequestExecutionLevel user
SetCompressor /SOLID lzma
AllowSkipFiles off ; a file that cannot be written fails the install, never skipped
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${NAME}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "lincell installer"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "2026 the lincell authors, MIT licence"

!define MUI_ICON "lincell.ico"
!define MUI_UNICON "lincell.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\lincell.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${BUILD}\LICENSE.txt"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckFolderPage
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Whether folder $0 may be installed into: missing, empty, or an earlier lincell
; (its uninstaller and its toy there). $1 is "ok", or why not.
Function CanInstallInto
  StrCpy $1 "ok"
  IfFileExists "$0\uninstall.exe" 0 +2
    IfFileExists "$0\lincell.exe" done
  ClearErrors
  FindFirst $2 $3 "$0\*"
  ${Unless} ${Errors}
    ${Do}
      ${If} $3 != "."
      ${AndIf} $3 != ".."
      ${AndIf} $3 != ""
        StrCpy $1 "$0 already holds other files ($3 among them). lincell installs only into an empty folder or over an earlier lincell, so that nothing of yours is overwritten."
        ${Break}
      ${EndIf}
      FindNext $2 $3
    ${LoopUntil} ${Errors}
    FindClose $2
  ${EndUnless}
  done:
FunctionEnd

; Whether a program of the install in $0 is running: $1 names it, or is "".
!macro FIND_RUNNING un
Function ${un}FindRunning
  StrCpy $1 ""
  ${ForEach} $3 0 1 + 1
    StrCpy $2 "lincell.exe"
    ${IfThen} $3 == 1 ${|} StrCpy $2 "lincell-record.exe" ${|}
    ${If} ${FileExists} "$0\$2"
      ClearErrors
      FileOpen $4 "$0\$2" a ; a running program cannot be opened for writing
      ${If} ${Errors}
        StrCpy $1 $2
        ${Break}
      ${EndIf}
      FileClose $4
    ${EndIf}
  ${Next}
FunctionEnd
!macroend
!insertmacro FIND_RUNNING ""
!insertmacro FIND_RUNNING "un."

Function CheckFolderPage
  StrCpy $0 $INSTDIR
  Call CanInstallInto
  ${If} $1 != "ok"
    MessageBox MB_OK|MB_ICONEXCLAMATION "$1$\n$\nPlease choose another folder."
    Abort ; stays on the folder page
  ${EndIf}
FunctionEnd

Function .onInit
  ${If} ${Silent}
    StrCpy $0 $INSTDIR
    Call CanInstallInto
    ${If} $1 != "ok"
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "lincell"
  ; An earlier lincell still running cannot be replaced: ask to close it.
  StrCpy $0 $INSTDIR
  retry:
  Call FindRunning
  ${If} $1 != ""
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$1 is running from $INSTDIR and cannot be replaced. Please close it, then press Retry." /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Abort "$1 is running; nothing was installed."
  ${EndIf}
  SetOutPath "$INSTDIR"
  File "${BUILD}\lincell.exe"
  File "${BUILD}\lincell-record.exe"
  File "${BUILD}\myfont.pcx"
  File "${BUILD}\README.txt"
  File "${BUILD}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\lincell"
  CreateShortcut "$SMPROGRAMS\lincell\lincell.lnk" "$INSTDIR\lincell.exe" "" "$INSTDIR\lincell.exe" 0
  CreateShortcut "$SMPROGRAMS\lincell\Uninstall lincell.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKCU "Software\lincell" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\lincell.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  ; Run in place (_?=), the silent uninstaller's status is its own: a failure is never a 0.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  ; A running program cannot be removed: say so, and remove nothing, so that the
  ; uninstaller and its entry stay for the user to finish later.
  StrCpy $0 $INSTDIR
  retry:
  Call un.FindRunning
  ${If} $1 != ""
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$1 is running from $INSTDIR and cannot be removed. Please close it, then press Retry." /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Abort "$1 is running; nothing was removed."
  ${EndIf}
  Delete "$INSTDIR\lincell.exe"
  Delete "$INSTDIR\lincell-record.exe"
  Delete "$INSTDIR\myfont.pcx"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR" ; only when empty: whatever the user put there stays
  ; Run in place, the uninstaller cannot remove itself while it runs: a hidden
  ; command does, once it has ended, and the folder with it when that is empty.
  ${If} ${FileExists} "$INSTDIR\uninstall.exe"
  ${AndIf} $EXEPATH == "$INSTDIR\uninstall.exe"
    SetOutPath $TEMP ; (no process may stand in the folder for it to go)
    ExecShell "" "$SYSDIR\cmd.exe" '/c ping -n 3 127.0.0.1 >nul & cd /d "$TEMP" & del /f /q "$INSTDIR\uninstall.exe" & rmdir "$INSTDIR"' SW_HIDE
  ${EndIf}
  ; The shortcuts and the entry are this install's only if they still name its
  ; folder: a later install elsewhere has made them its own.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    Delete "$SMPROGRAMS\lincell\lincell.lnk"
    Delete "$SMPROGRAMS\lincell\Uninstall lincell.lnk"
    RMDir "$SMPROGRAMS\lincell"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegKey HKCU "Software\lincell"
  ${EndIf}
SectionEnd
