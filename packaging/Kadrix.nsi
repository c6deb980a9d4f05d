; Per-user installer: no administrator rights, everything under the user's
; own programs folder and HKEY_CURRENT_USER.
;   makensis -DVERSION=2.15 -DSTAGE=<files> -DICON=<ico> -DOUTFILE=<setup.exe> Kadrix.nsi
; Command line of the result: /S silent, /SERVICEURL="<address>" the upload
; service (quoted: its slashes would end an unquoted option), /NORUN no
; start at the end.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!ifndef VERSION
  !error "VERSION is not defined"
!endif
!ifndef STAGE
  !error "STAGE is not defined"
!endif
!ifndef ICON
  !error "ICON is not defined"
!endif
!ifndef OUTFILE
  !define OUTFILE "Kadrix-${VERSION}-setup.exe"
!endif

!define PRODUCT "Kadrix"
!define PUBLISHER "Orvik Software"
!define SETTINGS_KEY "Software\Orvik Software\Kadrix"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kadrix"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define TRAY_CLASS "TOrvik_Kadrix_MainForm"
!define TRAY_CAPTION "Orvik_Kadrix_MainForm"

!define MULTIUSER_EXECUTIONLEVEL Standard
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_MUI
!include MultiUser.nsh
!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

Var ServiceUrl
Var ServiceUrlField
Var NoRun

!insertmacro MUI_PAGE_DIRECTORY
Page custom ServicePageShow ServicePageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "English"

LangString ServiceTitle ${LANG_RUSSIAN} "Сервис загрузки"
LangString ServiceTitle ${LANG_ENGLISH} "Upload service"
LangString ServiceSub ${LANG_RUSSIAN} "Куда Kadrix загружает снимки (необязательно)"
LangString ServiceSub ${LANG_ENGLISH} "Where Kadrix uploads screenshots (optional)"
LangString ServiceText ${LANG_RUSSIAN} "Адрес вашего сервиса загрузки, например https://shots.example.org. Оставьте поле пустым, если сервиса нет: копирование и сохранение работают и без него."
LangString ServiceText ${LANG_ENGLISH} "The address of your upload service, for example https://shots.example.org. Leave it empty if you have none: copying and saving work without it."
LangString ServiceBad ${LANG_RUSSIAN} "Адрес должен начинаться с http:// или https://"
LangString ServiceBad ${LANG_ENGLISH} "The address must start with http:// or https://"
LangString StillRunning ${LANG_RUSSIAN} "Kadrix не закрылся. Закройте его (значок в области уведомлений → Выход) и повторите."
LangString StillRunning ${LANG_ENGLISH} "Kadrix did not close. Close it (notification area icon → Exit) and try again."
LangString RemoveSettings ${LANG_RUSSIAN} "Удалить и настройки Kadrix? Снимки в папке для сохранения останутся."
LangString RemoveSettings ${LANG_ENGLISH} "Remove Kadrix's settings too? Screenshots in your save folder are kept."

; Asks a running Kadrix to exit the way "Выход" does and waits for its
; process, so the files can be replaced. $0 is 0 when none is left.
!macro CloseRunningKadrix
  StrCpy $0 0
  FindWindow $1 "${TRAY_CLASS}" "${TRAY_CAPTION}"
  ${If} $1 <> 0
    System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r2)'
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r2) p .r3' ; SYNCHRONIZE
    System::Call 'user32::PostMessageW(p r1, i 0x0010, p 0, p 0)' ; WM_CLOSE
    ${If} $3 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r3, i 15000) i .r4'
      System::Call 'kernel32::CloseHandle(p r3)'
      ${If} $4 <> 0
        StrCpy $0 1
      ${EndIf}
    ${Else}
      Sleep 2000
    ${EndIf}
  ${EndIf}
!macroend

Function .onInit
  !insertmacro MULTIUSER_INIT
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/SERVICEURL=" $ServiceUrl
  ${If} ${Errors}
    StrCpy $ServiceUrl ""
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/NORUN" $R1
  ${If} ${Errors}
    StrCpy $NoRun 0
  ${Else}
    StrCpy $NoRun 1
  ${EndIf}
  ${If} $ServiceUrl == ""
    ReadRegStr $ServiceUrl HKCU "${SETTINGS_KEY}" "ServiceUrl"
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Function ServicePageShow
  !insertmacro MUI_HEADER_TEXT "$(ServiceTitle)" "$(ServiceSub)"
  nsDialogs::Create 1018
  Pop $R0
  ${NSD_CreateLabel} 0 0 100% 36u "$(ServiceText)"
  Pop $R0
  ${NSD_CreateText} 0 44u 100% 13u "$ServiceUrl"
  Pop $ServiceUrlField
  nsDialogs::Show
FunctionEnd

Function ServicePageLeave
  ${NSD_GetText} $ServiceUrlField $ServiceUrl
  ${If} $ServiceUrl != ""
    StrCpy $R0 $ServiceUrl 7
    StrCpy $R1 $ServiceUrl 8
    ${If} $R0 != "http://"
    ${AndIf} $R1 != "https://"
      MessageBox MB_ICONEXCLAMATION "$(ServiceBad)"
      Abort
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Kadrix" SecMain
  SectionIn RO
  !insertmacro CloseRunningKadrix
  ${If} $0 <> 0
    MessageBox MB_ICONSTOP "$(StillRunning)" /SD IDOK
    Abort
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "${STAGE}/Kadrix.exe"
  File "${STAGE}/screenshoot.wav"
  File "${STAGE}/NOTICES.txt"
  SetOutPath "$INSTDIR\Fonts"
  File "${STAGE}/Fonts/*.ttf"
  SetOutPath "$INSTDIR"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Kadrix.lnk" "$INSTDIR\Kadrix.exe" "" "$INSTDIR\Kadrix.exe" 0

  ${If} $ServiceUrl != ""
    WriteRegStr HKCU "${SETTINGS_KEY}" "ServiceUrl" $ServiceUrl
  ${EndIf}

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Kadrix.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $R0 $R1 $R2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $R0

  ${If} $NoRun = 0
    Exec '"$INSTDIR\Kadrix.exe" /install'
  ${EndIf}
SectionEnd

Section "Uninstall"
  !insertmacro CloseRunningKadrix
  Delete "$INSTDIR\Kadrix.exe"
  Delete "$INSTDIR\screenshoot.wav"
  Delete "$INSTDIR\NOTICES.txt"
  Delete "$INSTDIR\Fonts\*.ttf"
  RMDir "$INSTDIR\Fonts"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Kadrix.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegValue HKCU "${RUN_KEY}" "Kadrix"
  MessageBox MB_YESNO|MB_ICONQUESTION "$(RemoveSettings)" /SD IDNO IDNO keep
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Orvik Software"
keep:
SectionEnd
