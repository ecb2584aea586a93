; SPDX-FileCopyrightText: 2026 Tarvio developers
; SPDX-License-Identifier: GPL-3.0-or-later
; The Windows installer, made by scripts/windows-build --installer:
;   makensis -INPUTCHARSET UTF8 -DVERSION=x.y.z -DSOURCE=<runnable folder>
;            -DFILES=<files.nsh> -DOUTFILE=<setup.exe> tarvio.nsi
; files.nsh, written from the runnable folder, holds the File lines and the
; matching Delete lines, so the uninstaller removes what was installed and
; nothing else: the day's logs and the saved patterns beside the program stay.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "x64.nsh"

Name "Tarvio ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tarvio"
BrandingText "Tarvio ${VERSION}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvio"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${SOURCE}\COPYING.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Korean"
!insertmacro MUI_LANGUAGE "English"

!include "${FILES}"

Function .onInit
  ; Per machine, in the 64-bit Program Files and registry.
  SetShellVarContext all
  SetRegView 64
  !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "Tarvio"
  SetOutPath "$INSTDIR"
  !insertmacro TarvioInstallFiles
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\Tarvio"
  CreateShortcut "$SMPROGRAMS\Tarvio\Tarvio (한국어).lnk" "$INSTDIR\tarvio.exe" "--lang ko" "$INSTDIR\tarvio.exe" 0
  CreateShortcut "$SMPROGRAMS\Tarvio\Tarvio (English).lnk" "$INSTDIR\tarvio.exe" "--lang en" "$INSTDIR\tarvio.exe" 0
  CreateShortcut "$SMPROGRAMS\Tarvio\Uninstall Tarvio.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tarvio"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Tarvio developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarvio.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  !insertmacro TarvioRemoveFiles
  Delete "$INSTDIR\uninstall.exe"
  ; Not /r: a folder that still holds the operator's logs or patterns stays.
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\Tarvio\Tarvio (한국어).lnk"
  Delete "$SMPROGRAMS\Tarvio\Tarvio (English).lnk"
  Delete "$SMPROGRAMS\Tarvio\Uninstall Tarvio.lnk"
  RMDir "$SMPROGRAMS\Tarvio"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
