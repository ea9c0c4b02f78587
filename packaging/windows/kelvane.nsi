; The Kelvane installer: kelvane.exe, kelvane-cli.exe, the Qt and runtime DLLs and
; the Qt plugins into Program Files, a Start-menu entry, an uninstaller and its
; entry under Apps & features. Built by scripts/windows.sh with
;   makensis -DVERSION=0.1.0 -DFILES=<files.nsh> -DOUTFILE=<installer.exe>
;            -DICON=<kelvane.ico> -DSIZE_KB=<size> [-DSIGN=<command>] kelvane.nsi
; FILES is the script's list of the program's files (macros InstallFiles,
; UninstallFiles and UninstallFolders): the uninstaller removes exactly those. SIGN,
; when given, is run on the uninstaller and on the finished installer ("%1" is the
; file) to sign them.
; An earlier version, found through its uninstall entry, is removed by its own
; uninstaller before the files are copied, whichever folder it is in, so no file of
; it stays behind and there is one entry. Neither the installer nor the uninstaller
; goes on while kelvane.exe or kelvane-cli.exe runs: both programs hold the mutex
; KelvaneRunning (platform/windows/running_instance.cpp).
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

Name "Kelvane ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES64\Kelvane"
RequestExecutionLevel admin
ShowInstDetails show

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvane"
; The folder of an earlier install is offered again (/D= still decides).
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
!include "${FILES}"

!ifdef SIGN
!uninstfinalize '${SIGN} "%1"'
!finalize '${SIGN} "%1"'
!endif

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Waits until no Kelvane program runs: Retry looks again, Cancel (and a silent run,
; which cannot ask) ends with exit status 2 before anything has changed.
!macro WaitUntilClosed PREFIX
Function ${PREFIX}WaitUntilClosed
    look:
    StrCpy $1 0
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "Global\KelvaneRunning") p .r0'
    StrCmp $0 0 +3
    System::Call 'kernel32::CloseHandle(p r0)'
    StrCpy $1 1
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "Local\KelvaneRunning") p .r0'
    StrCmp $0 0 +3
    System::Call 'kernel32::CloseHandle(p r0)'
    StrCpy $1 1
    StrCmp $1 0 closed
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "Kelvane (kelvane.exe or kelvane-cli.exe) is running. Close it, then choose Retry." \
        /SD IDCANCEL IDRETRY look
    DetailPrint "Kelvane is running: nothing was changed."
    SetErrorLevel 2
    Quit
    closed:
FunctionEnd
!macroend
!insertmacro WaitUntilClosed ""
!insertmacro WaitUntilClosed "un."

Function .onInit
    Call WaitUntilClosed
FunctionEnd

Function un.onInit
    Call un.WaitUntilClosed
FunctionEnd

; The earlier version's uninstaller runs silently where it is (_?=), so it removes
; exactly the files it installed and waits for it; then its own file and folder go.
Function RemoveEarlierVersion
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    StrCmp $0 "" done
    IfFileExists "$0\uninstall.exe" 0 done
    DetailPrint "Removing the earlier version in $0"
    ClearErrors
    ExecWait '"$0\uninstall.exe" /S _?=$0' $1
    IfErrors failed
    StrCmp $1 0 0 failed
    Delete "$0\uninstall.exe"
    RMDir "$0"
    Goto done
    failed:
    MessageBox MB_OK|MB_ICONSTOP "The earlier version in $0 could not be removed." /SD IDOK
    SetErrorLevel 2
    Quit
    done:
FunctionEnd

Section "Kelvane"
    SetShellVarContext all
    ; Again: the program may have been started while the pages were shown.
    Call WaitUntilClosed
    Call RemoveEarlierVersion
    !insertmacro InstallFiles
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateDirectory "$SMPROGRAMS\Kelvane"
    ; A shortcut starts in the folder last set: the install folder, where the program
    ; finds its help files by their bare names.
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\Kelvane\Kelvane.lnk" "$INSTDIR\kelvane.exe"
    CreateShortcut "$SMPROGRAMS\Kelvane\Kelvane (simulated transmitter).lnk" \
        "$INSTDIR\kelvane.exe" "--simulate"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Kelvane"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Kelvane developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kelvane.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The files first, the uninstall entry last: when a file cannot be removed the entry
; stays, so the uninstall can be run again.
Section "Uninstall"
    SetShellVarContext all
    ClearErrors
    ; Only the files this installer put there: a folder the user chose may hold others.
    !insertmacro UninstallFiles
    IfErrors 0 removed
    MessageBox MB_OK|MB_ICONSTOP "Some of Kelvane's files in $INSTDIR could not be removed." \
        /SD IDOK
    SetErrorLevel 2
    Quit
    removed:
    !insertmacro UninstallFolders
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Kelvane\Kelvane.lnk"
    Delete "$SMPROGRAMS\Kelvane\Kelvane (simulated transmitter).lnk"
    RMDir "$SMPROGRAMS\Kelvane"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
