; The installer of KvlTalvioPos for Windows, Setup-KvlTalvioPos.exe, built on
; Linux with makensis from the 32-bit build:
;
;   makensis -DVERSION=1.0.0.7 -DFILES=<folder of the files> -DOUTPUT=<installer> KvlTalvioPos.nsi
;
; It installs the program, the terminal library, the manual, a sample
; configuration and a parameter file into "$PROGRAMFILES\KVL TalvioPos" (as
; "C:\Programmi\KVL TalvioPos" on an Italian Windows XP), lets the machine's
; users change the files there (the parameter file, the command journal), makes
; the data folder that Vista, 7 and 8 require with the manual in it, a
; Start-menu folder and an uninstaller. An operator's configuration and
; parameter file are kept on reinstalling and on uninstalling.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define PRODUCT "KVL TalvioPos"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KvlTalvioPos"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTPUT}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1040 "ProductName" "KvlTalvioPos"
VIAddVersionKey /LANG=1040 "FileDescription" "Installazione di KvlTalvioPos"
VIAddVersionKey /LANG=1040 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1040 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1040 "LegalCopyright" "KVL"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

LoadLanguageFile "${NSISDIR}\Contrib\Language files\Italian.nlf"

Section "KvlTalvioPos"
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File "${FILES}\KvlTalvioPos.exe"
    File "${FILES}\Iae17.dll"
    File "${FILES}\Manuale_TalvioPosIngenico.pdf"
    ; The operator's settings stay as they are on a reinstall.
    SetOverwrite off
    File "${FILES}\ConfigTlvPos.TXT"
    File "${FILES}\ParamTlvPos.TXT"
    SetOverwrite on

    ; The program writes its parameter file and command journal beside
    ; itself: the machine's users (S-1-5-32-545) may change the folder.
    ; Windows XP has no icacls; there its users are usually administrators.
    nsExec::Exec '"$SYSDIR\icacls.exe" "$INSTDIR" /grant *S-1-5-32-545:(OI)(CI)M'
    Pop $0

    ; On Vista, 7 and 8 the program's data folder is the common
    ; application-data folder's KvlTalvioPos, which must exist; the manual is
    ; looked for there.
    CreateDirectory "$APPDATA\KvlTalvioPos"
    CopyFiles /SILENT "$INSTDIR\Manuale_TalvioPosIngenico.pdf" "$APPDATA\KvlTalvioPos"

    CreateDirectory "$SMPROGRAMS\${PRODUCT}"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\KVL TalvioPos.lnk" "$INSTDIR\KvlTalvioPos.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\Console KVL TalvioPos.lnk" "$INSTDIR\KvlTalvioPos.exe" "-I"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\Manuale KVL TalvioPos.lnk" "$INSTDIR\Manuale_TalvioPosIngenico.pdf"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\Disinstalla KVL TalvioPos.lnk" "$INSTDIR\Uninstall.exe"

    WriteUninstaller "$INSTDIR\Uninstall.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "KVL"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\KvlTalvioPos.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; What the operator made stays: the configuration, the parameter file, the
; command journal and the log, with the folder that holds them.
Section "Uninstall"
    SetShellVarContext all
    Delete "$INSTDIR\KvlTalvioPos.exe"
    Delete "$INSTDIR\Iae17.dll"
    Delete "$INSTDIR\Manuale_TalvioPosIngenico.pdf"
    Delete "$APPDATA\KvlTalvioPos\Manuale_TalvioPosIngenico.pdf"
    RMDir "$APPDATA\KvlTalvioPos"
    RMDir /r "$SMPROGRAMS\${PRODUCT}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; Last, so that its going tells that the uninstall is over.
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd
