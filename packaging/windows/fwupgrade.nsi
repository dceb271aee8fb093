; The Windows installer: the programs under Program Files, a Start-menu
; entry for the window when the build has one, and an uninstaller that takes
; all of it away again. /S installs or uninstalls without asking.
;   makensis -DVERSION=1.1.1 -DSTAGE=dir-with-the-exes -DOUTFILE=fwupgrade-setup.exe fwupgrade.nsi

; The programs are 64-bit, and so is the installer: it then runs where
; they do, Wine without its 32-bit half included.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!ifndef VERSION | STAGE | OUTFILE
  !error "give -DVERSION=, -DSTAGE= and -DOUTFILE="
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\fwupgrade"
!define SHORTCUT "$SMPROGRAMS\Firmware Upgrade.lnk"

Name "fwupgrade ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\fwupgrade"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "fwupgrade"
VIAddVersionKey "FileDescription" "fwupgrade installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "The fwupgrade developers, MIT licence"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "fwupgrade"
  SetOutPath "$INSTDIR"
  File "${STAGE}\fwupgrade-cli.exe"
  File "${STAGE}\fwbundle.exe"
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
!if /FileExists "${STAGE}\fwupgrade.exe"
  File "${STAGE}\fwupgrade.exe"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\fwupgrade.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\fwupgrade.exe"
!endif
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "fwupgrade ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The fwupgrade developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "${SHORTCUT}"
  Delete "$INSTDIR\fwupgrade.exe"
  Delete "$INSTDIR\fwupgrade-cli.exe"
  Delete "$INSTDIR\fwbundle.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; Not /r: files the user put there stay, and so does the folder then.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
