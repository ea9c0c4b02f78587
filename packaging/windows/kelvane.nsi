; The Kelvane installer: kelvane.exe, kelvane-cli.exe, the Qt and runtime DLLs and
; the Qt plugins into Program Files, a Start-menu entry, an uninstaller and its
; entry under Apps & features. Built by scripts/windows.sh with
;   makensis -DVERSION=0.1.0 -DFILES=<files.nsh> -DOUTFILE=<installer.exe> kelvane.nsi
; FILES is the script's list of the program's files (macros InstallFiles and
; UninstallFiles): the uninstaller removes exactly those.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

Name "Kelvane ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Kelvane"
RequestExecutionLevel admin
ShowInstDetails show

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvane"
!include "${FILES}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Kelvane"
    SetShellVarContext all
    !insertmacro InstallFiles
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateDirectory "$SMPROGRAMS\Kelvane"
    CreateShortcut "$SMPROGRAMS\Kelvane\Kelvane.lnk" "$INSTDIR\kelvane.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Kelvane"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Kelvane"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kelvane.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\Kelvane\Kelvane.lnk"
    RMDir "$SMPROGRAMS\Kelvane"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; Only the files this installer put there: a folder the user chose may hold others.
    !insertmacro UninstallFiles
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd
