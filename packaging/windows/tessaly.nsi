; Tessaly's installer: per user, without administrator rights.
;   makensis -DVERSION=1.1 -DFILES=<folder with the programs, data and documents> -DOUTFILE=<setup.exe>
;            -DICON=<tessaly.ico> -DLICENCE=<the licence's text> tessaly.nsi
; A 64-bit installer for the 64-bit program.
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh

Name "Tessaly ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tessaly"

; What Explorer shows of the installer itself.
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "Tessaly"
VIAddVersionKey /LANG=1033 "CompanyName" "Tessaly"
VIAddVersionKey /LANG=1033 "FileDescription" "Tessaly ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "2026 The Tessaly developers"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaly"
!define FOLDER_VERB "Software\Classes\Directory\shell\Tessaly"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\tessaly.exe"
!define MUI_FINISHPAGE_RUN_TEXT "$(RunTessaly)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The user's language, chosen by the system's: the first one where it is
; none of these. The window's own words where they are the same.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "Italian"
LangString RunTessaly ${LANG_ENGLISH} "Run Tessaly"
LangString RunTessaly ${LANG_GERMAN} "Tessaly starten"
LangString RunTessaly ${LANG_FRENCH} "Lancer Tessaly"
LangString RunTessaly ${LANG_SPANISH} "Iniciar Tessaly"
LangString RunTessaly ${LANG_ITALIAN} "Avvia Tessaly"
LangString OpenWith ${LANG_ENGLISH} "Open with Tessaly"
LangString OpenWith ${LANG_GERMAN} "Mit Tessaly öffnen"
LangString OpenWith ${LANG_FRENCH} "Ouvrir avec Tessaly"
LangString OpenWith ${LANG_SPANISH} "Abrir con Tessaly"
LangString OpenWith ${LANG_ITALIAN} "Apri con Tessaly"
LangString RemoveSettings ${LANG_ENGLISH} "Remove your settings, presets and logs too?$\r$\n$\r$\nThey are in $APPDATA\Tessaly"
LangString RemoveSettings ${LANG_GERMAN} "Auch Ihre Einstellungen, Voreinstellungen und Protokolle entfernen?$\r$\n$\r$\nSie liegen in $APPDATA\Tessaly"
LangString RemoveSettings ${LANG_FRENCH} "Supprimer aussi vos préférences, préréglages et journaux ?$\r$\n$\r$\nIls se trouvent dans $APPDATA\Tessaly"
LangString RemoveSettings ${LANG_SPANISH} "¿Quitar también sus preferencias, ajustes guardados y registros?$\r$\n$\r$\nEstán en $APPDATA\Tessaly"
LangString RemoveSettings ${LANG_ITALIAN} "Rimuovere anche le preferenze, le preimpostazioni e i registri?$\r$\n$\r$\nSi trovano in $APPDATA\Tessaly"

Section "Tessaly"
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File "${FILES}\tessaly.exe"
    File "${FILES}\tessaly-batch.exe"
    SetOutPath "$INSTDIR\data"
    File "${FILES}\data\wm.png"
    File "${FILES}\data\DejaVuSans.ttf"
    SetOutPath "$INSTDIR\documents"
    File "${FILES}\documents\Tessaly_${VERSION}_manual.pdf"
    ; The translations, ours and the toolkit's, beside the programs.
    SetOutPath "$INSTDIR"
    File /r "${FILES}\locale"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; The window keeps prefs.cfg and the logs in %APPDATA%\Tessaly however
    ; it is started; the Start menu entry starts it there too (the shortcut
    ; takes the folder set last).
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
    ; Apps & Features shows the size, in KiB.
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

    ; "Open with Tessaly" on folders, beside Explorer's own verbs: the
    ; default verb (open) stays Explorer's.
    WriteRegStr HKCU "${FOLDER_VERB}" "" "$(OpenWith)"
    WriteRegStr HKCU "${FOLDER_VERB}" "Icon" "$INSTDIR\tessaly.exe"
    WriteRegStr HKCU "${FOLDER_VERB}\command" "" '"$INSTDIR\tessaly.exe" "%1"'
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    Delete "$INSTDIR\tessaly.exe"
    Delete "$INSTDIR\tessaly-batch.exe"
    Delete "$INSTDIR\data\wm.png"
    Delete "$INSTDIR\data\DejaVuSans.ttf"
    Delete "$INSTDIR\documents\Tessaly_${VERSION}_manual.pdf"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR\data"
    RMDir "$INSTDIR\documents"
    RMDir /r "$INSTDIR\locale"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Tessaly.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegKey HKCU "${FOLDER_VERB}"
    ; The user's settings stay unless asked; a silent uninstall keeps them
    ; unless given /REMOVESETTINGS.
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/REMOVESETTINGS" $R1
    IfErrors 0 remove
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(RemoveSettings)" /SD IDNO IDNO keep
remove:
    ; What Tessaly wrote there, and nothing else: a file of the user's
    ; keeps its folder.
    Delete "$APPDATA\Tessaly\prefs.cfg"
    Delete "$APPDATA\Tessaly\Main.log"
    Delete "$APPDATA\Tessaly\MetadataHandler.log"
    Delete "$APPDATA\Tessaly\.*.tessaly-unfinished-*"
    Delete "$APPDATA\Tessaly\presets\*.cfg"
    Delete "$APPDATA\Tessaly\presets\.*.tessaly-unfinished-*"
    RMDir "$APPDATA\Tessaly\presets"
    RMDir "$APPDATA\Tessaly"
keep:
SectionEnd
