; The Windows installer, made on Debian with NSIS's makensis by scripts/windows:
;   makensis -DVERSION=1.0.0 -DBUILD=<folder of the programs> -DOUT=<installer> lincell.nsi
; It installs for the user who runs it, needing no administrator: both programs,
; the font, README.txt and LICENSE.txt in one folder, a Start menu folder with the
; toy and its uninstaller, and an entry in "Apps & features". The uninstaller
; removes exactly what was installed. /S installs and uninstalls silently.
Target amd64-unicode ; a 64-bit installer for 64-bit programs
!include MUI2.nsh
!include FileFunc.nsh

!define NAME "lincell"
!define PUBLISHER "lincell developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\lincell"

Name "${NAME} ${VERSION}"
OutFile "${OUT}"
InstallDir "$LOCALAPPDATA\Programs\lincell"
InstallDirRegKey HKCU "Software\lincell" "InstallDir"
RequestExecutionLevel user
SetCompressor /SOLID lzma
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
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "lincell"
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
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\lincell.exe"
  Delete "$INSTDIR\lincell-record.exe"
  Delete "$INSTDIR\myfont.pcx"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR" ; only when empty: whatever the user put there stays
  Delete "$SMPROGRAMS\lincell\lincell.lnk"
  Delete "$SMPROGRAMS\lincell\Uninstall lincell.lnk"
  RMDir "$SMPROGRAMS\lincell"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\lincell"
SectionEnd
