; Lexorin's installer. It installs for the current user only, into
; %LOCALAPPDATA%\Programs\Lexorin, so it needs no administrator rights and Lexorin.ini
; beside the exe stays writable. packaging/package.cmake runs makensis with:
;   PRODUCT_NAME, VERSION, VERSION_MAJOR, VERSION_MINOR   from src/resources/version.h
;   STAGE           the staged program folder
;   ICON            the program icon
;   SIZE_KB         the program folder's size
;   INSTALL_FILES, UNINSTALL_FILES, UNINSTALL_DIRS   generated file lists
;   OUTFILE         the setup program to write
;   TARGET          optional: NSIS's stub target, amd64-unicode for the 64-bit test build
;                   (the download users get is the default 32-bit one)
;
; Command line (besides NSIS's own /S and /D=folder):
;   /AUTOSTART      start Lexorin with Windows (the "开机时启动" choice), also when silent

Unicode true
!ifdef TARGET
  Target ${TARGET}
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include Sections.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define APP          "Lexorin"
!define EXE          "Lexorin.exe"
!define UNINSTALLER  "uninstall.exe"
!define UNINST_KEY   "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define RUN_KEY      "Software\Microsoft\Windows\CurrentVersion\Run"
!define DESCRIPTION  "Lexorin 桌面背单词条"
; The main bar's exit command, the same as the tray menu's and the toolbar's "退出".
!define ID_APP_EXIT_CMD 57665
!define SYNCHRONIZE  0x00100000

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${APP}"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "${PRODUCT_NAME} ${VERSION}"

VIProductVersion "${VERSION_MAJOR}.${VERSION_MINOR}.0.0"
VIFileVersion "${VERSION_MAJOR}.${VERSION_MINOR}.0.0"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileDescription" "${DESCRIPTION} 安装程序"
; No copyright line of ours to state.
!pragma warning disable 9100

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_WELCOMEPAGE_TEXT "此程序将引导你完成 $(^NameDA) 的安装。$\r$\n$\r$\n\
Lexorin 只为当前用户安装，不需要管理员权限。如果 Lexorin 正在运行，安装程序会先让它退出；\
升级时保留你的阅读位置、设置和你自己添加的词典。$\r$\n$\r$\n$_CLICK"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; Asks a running Lexorin to end, the way its own "退出" does, and waits until its
; process has gone, so that no file of the program folder is still in use. The one
; copy that runs owns a mutex named after the exe, which tells whether one runs at all
; (also before its bar exists) and is abandoned when it ends.
!macro CLOSE_RUNNING_LEXORIN prefix
Function ${prefix}CloseRunningLexorin
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  StrLen $5 "${PRODUCT_NAME}"
  StrCpy $4 0
  retry:
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${APP}") p .r0'
  ${If} $0 P= 0
    Goto done
  ${EndIf}
  ; The main bar is a dialog titled with the product name and version.
  StrCpy $7 0
  StrCpy $1 0
  ${Do}
    FindWindow $1 "#32770" "" 0 $1
    ${If} $1 P= 0
      ${Break}
    ${EndIf}
    System::Call 'user32::GetWindowTextW(p r1, w .r2, i 128) i'
    StrCpy $3 $2 $5
    ${If} $3 == "${PRODUCT_NAME}"
    ${AndIf} $7 P= 0
      System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r6) i'
      System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r6) p .r7'
      SendMessage $1 ${WM_COMMAND} ${ID_APP_EXIT_CMD} 0 /TIMEOUT=3000
    ${EndIf}
  ${Loop}
  System::Call 'kernel32::WaitForSingleObject(p r0, i 5000) i .r2'
  ${If} $2 = 0
  ${OrIf} $2 = 128
    ; Ours now (abandoned by the ended copy): give it back, and wait until that
    ; process has unloaded its exe.
    System::Call 'kernel32::ReleaseMutex(p r0)'
    System::Call 'kernel32::CloseHandle(p r0)'
    ${IfNot} $7 P= 0
      System::Call 'kernel32::WaitForSingleObject(p r7, i 5000) i'
      System::Call 'kernel32::CloseHandle(p r7)'
    ${Else}
      Sleep 500
    ${EndIf}
    Goto done
  ${EndIf}
  System::Call 'kernel32::CloseHandle(p r0)'
  ${IfNot} $7 P= 0
    System::Call 'kernel32::CloseHandle(p r7)'
  ${EndIf}
  IntOp $4 $4 + 1
  ${If} $4 < 2
    Goto retry
  ${EndIf}
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
    "Lexorin 正在运行，无法自动关闭。$\r$\n请先退出 Lexorin（托盘图标菜单中的“退出”），然后点击“重试”。" \
    /SD IDCANCEL IDRETRY again
  SetErrorLevel 2
  Quit
  again:
  StrCpy $4 0
  Goto retry
  done:
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_LEXORIN ""
!insertmacro CLOSE_RUNNING_LEXORIN "un."

Section "!Lexorin 程序" SecProgram
  SectionIn RO
  SetShellVarContext current
  Call CloseRunningLexorin

  ; The program, its dictionaries, font and tips: an upgrade replaces them.
  SetOverwrite on
  !include "${INSTALL_FILES}"
  ; Lexorin.ini holds the user's reading position, look and placement: only a first
  ; install gets the shipped one.
  SetOutPath "$INSTDIR"
  SetOverwrite off
  File "${STAGE}\Lexorin.ini"
  SetOverwrite on

  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0 SW_SHOWNORMAL "" "${DESCRIPTION}"

  ; Apps & features
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Comments" "${DESCRIPTION}（${PRODUCT_NAME} ${VERSION}）"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
SectionEnd

Section /o "开机时启动" SecAutostart
  WriteRegStr HKCU "${RUN_KEY}" "${APP}" '"$INSTDIR\${EXE}"'
SectionEnd

; Unticking "开机时启动" on an upgrade takes the earlier choice back.
Section "-AutostartOff"
  ${IfNot} ${SectionIsSelected} ${SecAutostart}
    DeleteRegValue HKCU "${RUN_KEY}" "${APP}"
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "Lexorin 程序、词典、音标字体和每日一贴，以及开始菜单中的快捷方式。"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecAutostart} "登录 Windows 时自动启动 Lexorin。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  ; An upgrade keeps the earlier "开机时启动" choice; /AUTOSTART asks for it.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${APP}"
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/AUTOSTART" $2
  ${If} $0 != ""
  ${OrIfNot} ${Errors}
    !insertmacro SelectSection ${SecAutostart}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  Call un.CloseRunningLexorin

  !include "${UNINSTALL_FILES}"
  Delete "$INSTDIR\Lexorin.ini.tmp~"
  Delete "$SMPROGRAMS\${APP}.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${APP}"

  ; What is left is the user's own: the settings file and dictionaries they added.
  ; Ask before removing it; a silent uninstall keeps it.
  ${If} ${FileExists} "$INSTDIR\Lexorin.ini"
  ${OrIf} ${FileExists} "$INSTDIR\Dictionary\*.KM"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "是否同时删除您的设置（阅读位置、外观和位置）以及您自己添加的词典？$\r$\n选择“否”将保留它们，以后重新安装时继续使用。" \
      /SD IDNO IDNO keep
    Delete "$INSTDIR\Lexorin.ini"
    Delete "$INSTDIR\Dictionary\*.KM"
    keep:
  ${EndIf}

  ; The uninstaller runs from a copy in the temp folder; the original may take a
  ; moment to end.
  StrCpy $0 0
  ${Do}
    Delete "$INSTDIR\${UNINSTALLER}"
    ${IfNot} ${FileExists} "$INSTDIR\${UNINSTALLER}"
    ${OrIf} $0 >= 20
      ${Break}
    ${EndIf}
    Sleep 100
    IntOp $0 $0 + 1
  ${Loop}
  !include "${UNINSTALL_DIRS}"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINST_KEY}"
SectionEnd
