; Ventiq setup: installs the program, its guardian and its card list, registers WorkDir, Start-menu shortcuts and
; an uninstaller that removes exactly what this installed.
; Built by the "installer" target: makensis -DARCH=x64|x86 -DVERSION=1.2.3 -DPROGRAM=Ventiq.exe
;   -DGUARDIAN=VentiqGuard.exe -DCARDLIST=DList.cfg -DLICENSE=License.txt -DICON=ventiq.ico -DOUTFILE=Ventiq-Setup-x64.exe Ventiq.nsi

!if "${ARCH}" == "x64"
    Target amd64-unicode
    !define PROGRAMS_ROOT "$PROGRAMFILES64"
    ; Ventiq.exe reads its key without naming a view, so the view is the one of its own bitness.
    !define REG_VIEW 64
!else if "${ARCH}" == "x86"
    Target x86-unicode
    !define PROGRAMS_ROOT "$PROGRAMFILES"
    !define REG_VIEW 32
!else
    !error "ARCH must be x64 or x86"
!endif

!define APP_KEY "SOFTWARE\Valdro\Ventiq"
!define COMPANY_KEY "SOFTWARE\Valdro"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ventiq"
!define MENU_DIR "$SMPROGRAMS\Ventiq"

Name "Ventiq"
OutFile "${OUTFILE}"
InstallDir "${PROGRAMS_ROOT}\Valdro\Ventiq"
; An upgrade goes where the previous installation is.
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
; Ventiq itself runs elevated, and everything below is machine-wide.
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ManifestDPIAware true
BrandingText "Valdro Ventiq ${VERSION}"

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipDirectoryOnUpgrade
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Ventiq has been installed. Start it from the Start menu.$\r$\n$\r$\n\
AMD CrossFire users: place the Windows device console tool in the installation folder as \
devcon64.exe (64-bit Windows) or devcon86.exe (32-bit Windows). Ventiq uses it to restart the \
display adapter after it changes the driver's ULPS power setting; it does not come with Ventiq."
; The finish page's second checkbox: off unless the user ticks it, and a silent setup never shows it.
!define MUI_FINISHPAGE_SHOWREADME ""
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Start Ventiq when I sign in to Windows"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION StartWithWindows
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Ventiq"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "Valdro"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Ventiq Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) Valdro"

; Sets $R2 to the 32-bit FNV-1a hash of the file named by $R0, as 8 upper-case hexadecimal digits,
; or to "" when it cannot be read. The hash of the list an installation shipped is kept in its
; uninstall entry, so a list the user has changed can be told from the one that came with Ventiq.
; Installer and uninstaller each need their own copy.
!macro CARD_LIST_HASH_FUNCTION PREFIX
Function ${PREFIX}CardListHash
    StrCpy $R2 ""
    ClearErrors
    FileOpen $R3 $R0 r
    IfErrors done
    StrCpy $R4 0x811C9DC5
loop:
    ClearErrors
    FileReadByte $R3 $R5
    IfErrors finished
    IntOp $R4 $R4 ^ $R5
    IntOp $R4 $R4 * 16777619
    Goto loop
finished:
    FileClose $R3
    IntFmt $R2 "%08X" $R4
done:
FunctionEnd
!macroend
!insertmacro CARD_LIST_HASH_FUNCTION ""
!insertmacro CARD_LIST_HASH_FUNCTION "un."

; Ventiq registers its own start with Windows and reports a failure itself.
Function StartWithWindows
    ExecWait '"$INSTDIR\Ventiq.exe" /startup on'
FunctionEnd

Function SkipDirectoryOnUpgrade
    SetRegView ${REG_VIEW}
    ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\Uninstall.exe"
        Abort
    ${EndIf}
FunctionEnd

Section "Ventiq" SEC_PROGRAM
    SectionIn RO
    SetRegView ${REG_VIEW}
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File "/oname=Ventiq.exe" "${PROGRAM}"
    ; Ventiq starts its guardian from its own folder.
    File "/oname=VentiqGuard.exe" "${GUARDIAN}"

    ; The list found there is the user's when it is neither the one the previous installation
    ; shipped nor this version's: it is then replaced only when the user asks for it.
    InitPluginsDir
    File "/oname=$PLUGINSDIR\DList.shipped" "${CARDLIST}"
    StrCpy $R0 "$PLUGINSDIR\DList.shipped"
    Call CardListHash
    StrCpy $7 $R2
    ${If} ${FileExists} "$INSTDIR\DList.cfg"
        StrCpy $R0 "$INSTDIR\DList.cfg"
        Call CardListHash
        ReadRegStr $8 HKLM "${UNINST_KEY}" "CardListHash"
        ${If} $R2 != $7
        ${AndIf} $R2 != $8
            MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
                "DList.cfg in $INSTDIR has been changed since it was installed.$\r$\n$\r$\n\
Replace it with the list that comes with this version? Your changes would be lost." /SD IDNO IDYES replace_list
            DetailPrint "Keeping the changed DList.cfg"
            Goto list_done
        ${EndIf}
    ${EndIf}
replace_list:
    File "/oname=DList.cfg" "${CARDLIST}"
list_done:

    WriteUninstaller "$INSTDIR\Uninstall.exe"

    ; Ventiq appends "\DList.cfg" to WorkDir itself; $INSTDIR comes without a trailing backslash.
    WriteRegStr HKLM "${APP_KEY}" "WorkDir" "$INSTDIR"

    CreateDirectory "${MENU_DIR}"
    CreateShortcut "${MENU_DIR}\Ventiq.lnk" "$INSTDIR\Ventiq.exe"
    CreateShortcut "${MENU_DIR}\Uninstall Ventiq.lnk" "$INSTDIR\Uninstall.exe"

    WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "Ventiq"
    WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "Valdro"
    WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Ventiq.exe,0"
    WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
    SectionGetSize ${SEC_PROGRAM} $1
    WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $1
    WriteRegStr HKLM "${UNINST_KEY}" "CardListHash" $7
SectionEnd

Section "Uninstall"
    SetRegView ${REG_VIEW}
    SetShellVarContext all
    ; Ventiq removes its own start with Windows. It is asked only when the scheduler holds the task,
    ; so an uninstall where there is none never waits on a message from it.
    ${DisableX64FSRedirection}
    ${If} ${FileExists} "$WINDIR\System32\Tasks\Ventiq"
        ExecWait '"$INSTDIR\Ventiq.exe" /startup off'
    ${EndIf}
    ${EnableX64FSRedirection}
    Delete "$INSTDIR\Ventiq.exe"
    Delete "$INSTDIR\VentiqGuard.exe"

    ; A changed list goes only with the user's consent; a silent uninstall keeps it.
    ${If} ${FileExists} "$INSTDIR\DList.cfg"
        StrCpy $R0 "$INSTDIR\DList.cfg"
        Call un.CardListHash
        ReadRegStr $8 HKLM "${UNINST_KEY}" "CardListHash"
        ${If} $R2 != $8
        ${OrIf} $8 == ""
            MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
                "DList.cfg in $INSTDIR has been changed since it was installed.$\r$\n$\r$\n\
Remove it as well?" /SD IDNO IDYES remove_list
            DetailPrint "Keeping the changed DList.cfg"
            Goto list_done
        ${EndIf}
remove_list:
        Delete "$INSTDIR\DList.cfg"
list_done:
    ${EndIf}

    Delete "$INSTDIR\Uninstall.exe"
    ; Only when empty: files the user put there (the device console tool) stay, and so does the folder.
    RMDir "$INSTDIR"
    ${If} "$INSTDIR" == "${PROGRAMS_ROOT}\Valdro\Ventiq"
        RMDir "${PROGRAMS_ROOT}\Valdro"
    ${EndIf}

    Delete "${MENU_DIR}\Ventiq.lnk"
    Delete "${MENU_DIR}\Uninstall Ventiq.lnk"
    RMDir "${MENU_DIR}"

    DeleteRegValue HKLM "${APP_KEY}" "WorkDir"
    DeleteRegKey /ifempty HKLM "${APP_KEY}"
    DeleteRegKey /ifempty HKLM "${COMPANY_KEY}"
    DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
