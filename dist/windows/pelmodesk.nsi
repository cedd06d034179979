; The Windows installer: pelmodesk.exe and its two libraries for the user
; who runs it (no administrator needed), a Start menu shortcut, a Startup
; shortcut, and an uninstaller. Both shortcuts start the program in
; %APPDATA%\pelmodesk, where it keeps pelmo.ini.
;   makensis -DSOURCE=DIR -DOUTFILE=FILE -DVERSION=X.Y.Z [-DAMD64] pelmodesk.nsi
Unicode true
!ifdef AMD64
Target amd64-unicode
!endif
SetCompressor /SOLID lzma

Name "pelmodesk"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\pelmodesk"
InstallDirRegKey HKCU "Software\pelmodesk" "InstallDir"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "pelmodesk"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "pelmodesk installer"
VIAddVersionKey "LegalCopyright" "pelmodesk"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\pelmodesk"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${SOURCE}\pelmodesk.exe"
  File "${SOURCE}\resinfo.dll"
  File "${SOURCE}\pinlatch.dll"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; A shortcut's working directory is the output path when it is made.
  CreateDirectory "$APPDATA\pelmodesk"
  SetOutPath "$APPDATA\pelmodesk"
  CreateDirectory "$SMPROGRAMS\pelmodesk"
  CreateShortcut "$SMPROGRAMS\pelmodesk\pelmodesk.lnk" "$INSTDIR\pelmodesk.exe"
  CreateShortcut "$SMSTARTUP\pelmodesk.lnk" "$INSTDIR\pelmodesk.exe"

  WriteRegStr HKCU "Software\pelmodesk" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "pelmodesk"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pelmodesk.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Everything but the user's settings in %APPDATA%\pelmodesk.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMSTARTUP\pelmodesk.lnk"
  Delete "$SMPROGRAMS\pelmodesk\pelmodesk.lnk"
  RMDir "$SMPROGRAMS\pelmodesk"
  Delete "$INSTDIR\pelmodesk.exe"
  Delete "$INSTDIR\resinfo.dll"
  Delete "$INSTDIR\pinlatch.dll"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\pelmodesk"
SectionEnd
