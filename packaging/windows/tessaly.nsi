; Tessaly's installer: per user, without administrator rights.
;   makensis -DVERSION=1.1 -DFILES=<folder with the programs, data and documents> -DOUTFILE=<setup.exe> tessaly.nsi
; A 64-bit installer for the 64-bit program.
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma

Name "Tessaly ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tessaly"
Icon "${ICON}"
UninstallIcon "${ICON}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaly"
!define FOLDER_VERB "Software\Classes\Directory\shell\Tessaly"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Tessaly"
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File "${FILES}\tessaly.exe"
    File "${FILES}\tessaly-batch.exe"
    SetOutPath "$INSTDIR\data"
    File "${FILES}\data\wm.png"
    SetOutPath "$INSTDIR\documents"
    File "${FILES}\documents\Tessaly_${VERSION}_manual.pdf"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; The Start menu entry starts the window in %APPDATA%\Tessaly, where
    ; prefs.cfg and the logs live (the shortcut takes the folder set last).
    CreateDirectory "$APPDATA\Tessaly"
    SetOutPath "$APPDATA\Tessaly"
    CreateShortCut "$SMPROGRAMS\Tessaly.lnk" "$INSTDIR\tessaly.exe" "" "$INSTDIR\tessaly.exe" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tessaly ${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tessaly"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tessaly.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

    ; "Open with Tessaly" on folders, beside Explorer's own verbs: the
    ; default verb (open) stays Explorer's.
    WriteRegStr HKCU "${FOLDER_VERB}" "" "Open with Tessaly"
    WriteRegStr HKCU "${FOLDER_VERB}" "Icon" "$INSTDIR\tessaly.exe"
    WriteRegStr HKCU "${FOLDER_VERB}\command" "" '"$INSTDIR\tessaly.exe" "%1"'
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    Delete "$INSTDIR\tessaly.exe"
    Delete "$INSTDIR\tessaly-batch.exe"
    Delete "$INSTDIR\data\wm.png"
    Delete "$INSTDIR\documents\Tessaly_${VERSION}_manual.pdf"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR\data"
    RMDir "$INSTDIR\documents"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Tessaly.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegKey HKCU "${FOLDER_VERB}"
    ; The user's settings stay unless asked; a silent uninstall keeps them.
    MessageBox MB_YESNO|MB_DEFBUTTON2 "Remove your settings and logs in $APPDATA\Tessaly too?" /SD IDNO IDNO keep
    Delete "$APPDATA\Tessaly\prefs.cfg"
    Delete "$APPDATA\Tessaly\Main.log"
    Delete "$APPDATA\Tessaly\MetadataHandler.log"
    RMDir "$APPDATA\Tessaly"
keep:
SectionEnd
