; Korvane's setup program for every Windows: a 32-bit program itself, so that it starts on
; 32- and 64-bit Windows alike, it installs the 64-bit Korvane on 64-bit Windows and the
; 32-bit one elsewhere. Made by the release (scripts/release.sh) with Debian's makensis from
; the two Windows builds; it defines VERSION, EXE32 and EXE64 with their sizes in KiB
; (EXE32_KB, EXE64_KB), LICENSE, GUIDE, ICON, WIZARD and OUTFILE.
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DEXE32=x86/korvane.exe -DEXE32_KB=380 \
;            -DEXE64=x64/korvane.exe -DEXE64_KB=420 -DLICENSE=LICENSE.txt -DGUIDE=使用指南.txt \
;            -DICON=korvane.ico -DWIZARD=korvane-wizard.bmp \
;            -DOUTFILE=korvane-1.0.0-setup.exe korvane.nsi
Unicode true
Target x86-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinVer.nsh
!include x64.nsh

!define PRODUCT "Korvane 刷价计时器"
!define PUBLISHER "Korvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvane"
!define SHORTCUT "${PRODUCT}.lnk"
!define GUIDE_SHORTCUT "Korvane 使用指南.lnk"
!define WINDOW_CLASS "KorvaneForm" ; every Korvane window is of this class

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; For the current user, without administrator rights.
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Korvane"
; Installing again finds the earlier install and upgrades it in place.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
; Korvane's own picture on the welcome and finish pages (scripts/make-setup-picture.sh).
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${WIZARD}"
!define MUI_ABORTWARNING
; The default welcome text speaks of system files to update; Korvane touches none.
!define MUI_WELCOMEPAGE_TEXT "此程序将引导你完成 $(^NameDA) 的安装。$\r$\n$\r$\n\
    Korvane 只为当前用户安装，不需要管理员权限，也不会改动任何系统文件。$\r$\n$\r$\n$_CLICK"
!define MUI_FINISHPAGE_RUN "$INSTDIR\korvane.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_WELCOME
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH
!insertmacro MUI_LANGUAGE "SimpChinese"

; A running Korvane holds its executable open: say so, rather than fail halfway.
!macro WaitWhileKorvaneRuns
    retry:
    FindWindow $0 "${WINDOW_CLASS}"
    ${If} $0 != 0
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "Korvane 正在运行。请先点“退出”关闭它，然后点“重试”。" /SD IDCANCEL IDRETRY retry
        Abort
    ${EndIf}
!macroend

; What Korvane needs, said before anything is placed.
Function RefuseOlderWindows
    MessageBox MB_OK|MB_ICONSTOP "Korvane 需要 Windows 7 SP1 或更高版本。" /SD IDOK
    Abort
FunctionEnd

; The registry as a 64-bit program sees it on 64-bit Windows, so that the uninstall entry is
; the one that the earlier, 64-bit setup program wrote.
!macro UseNativeRegistry
    ${If} ${RunningX64}
        SetRegView 64
    ${EndIf}
!macroend

Function .onInit
    !insertmacro UseNativeRegistry
    ${If} ${AtMostWinVista}
        Call RefuseOlderWindows
    ${ElseIf} ${IsWin7}
    ${AndIf} ${AtMostServicePack} 0
        Call RefuseOlderWindows
    ${EndIf}
    !insertmacro WaitWhileKorvaneRuns
    Call CountOneProgram
FunctionEnd

Function un.onInit
    !insertmacro UseNativeRegistry
    !insertmacro WaitWhileKorvaneRuns
FunctionEnd

Section "Korvane（必需）" SectionProgram
    SectionIn RO
    ; Remembers a parent folder that only this setup made, so that uninstalling removes it.
    ${IfNot} ${FileExists} "$INSTDIR\..\*.*"
        WriteRegDWORD HKCU "${UNINSTALL_KEY}" "CreatedParentFolder" 1
    ${EndIf}
    SetOutPath "$INSTDIR"
    ${If} ${RunningX64}
        File "/oname=korvane.exe" "${EXE64}"
    ${Else}
        File "/oname=korvane.exe" "${EXE32}"
    ${EndIf}
    File "/oname=LICENSE.txt" "${LICENSE}"
    File "/oname=使用指南.txt" "${GUIDE}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortCut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\korvane.exe" "" "$INSTDIR\korvane.exe" 0
    CreateShortCut "$SMPROGRAMS\${GUIDE_SHORTCUT}" "$INSTDIR\使用指南.txt"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\korvane.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "桌面快捷方式" SectionDesktop
    CreateShortCut "$DESKTOP\${SHORTCUT}" "$INSTDIR\korvane.exe" "" "$INSTDIR\korvane.exe" 0
SectionEnd

; The components page's "space required" counts every file in the section, both programs
; among them; only the one that fits this Windows is installed.
Function CountOneProgram
    SectionGetSize ${SectionProgram} $0
    ${If} ${RunningX64}
        IntOp $0 $0 - ${EXE32_KB}
    ${Else}
        IntOp $0 $0 - ${EXE64_KB}
    ${EndIf}
    SectionSetSize ${SectionProgram} $0
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SectionProgram} "刷价计时器和两个交易计算器。"
    !insertmacro MUI_DESCRIPTION_TEXT ${SectionDesktop} "在桌面上放一个 Korvane 的快捷方式。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; Removes what the setup placed, and nothing else: the folder only if it is left empty.
Section "Uninstall"
    Delete "$INSTDIR\korvane.exe"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\使用指南.txt"
    Delete "$INSTDIR\uninstall.exe"
    Delete "$SMPROGRAMS\${SHORTCUT}"
    Delete "$SMPROGRAMS\${GUIDE_SHORTCUT}"
    Delete "$DESKTOP\${SHORTCUT}"
    RMDir "$INSTDIR"
    ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "CreatedParentFolder"
    ${If} $0 == 1
        RMDir "$INSTDIR\.."
    ${EndIf}
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
