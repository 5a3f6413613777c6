; The Windows installer: the program, tolm.dll beside it, linkora.exe and the
; README in one folder; a Start-menu entry for the program; an uninstaller
; registered in Add/Remove Programs that removes all of it. Silent with /S,
; into another folder with /D=FOLDER (last on the command line).
; makensis gets VERSION, ARCHITECTURE (win32 or win64), STAGE (the folder of
; the files) and OUTFILE with -D.
Unicode true
!if ${ARCHITECTURE} == win64
  ; A 64-bit installer sees the 64-bit Program Files and registry by itself.
  Target amd64-unicode
!endif

!define PROGRAM "Brannic Linkora CFG"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PROGRAM}"

Name "${PROGRAM} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
!if ${ARCHITECTURE} == win64
  InstallDir "$PROGRAMFILES64\${PROGRAM}"
!else
  InstallDir "$PROGRAMFILES\${PROGRAM}"
!endif

VIProductVersion ${VERSION}
VIAddVersionKey /LANG=1033 "ProductName" "Linkora CFG"
VIAddVersionKey /LANG=1033 "CompanyName" "Brannic"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) Brannic"
VIAddVersionKey /LANG=1033 "FileDescription" "${PROGRAM} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The files, named once for installing and removing.
!macro ForEachFile DO
  !insertmacro ${DO} "${PROGRAM}.exe"
  !insertmacro ${DO} "tolm.dll"
  !insertmacro ${DO} "linkora.exe"
  !insertmacro ${DO} "README.txt"
!macroend
!macro InstallFile NAME
  File "${STAGE}/${NAME}"
!macroend
!macro RemoveFile NAME
  Delete "$INSTDIR\${NAME}"
!macroend

; For every user of the machine: the Start menu of all users, the machine's
; registry in the view of the installed binaries.
!macro ForTheMachine
  SetShellVarContext all
  !if ${ARCHITECTURE} == win64
    SetRegView 64
  !endif
!macroend
Function .onInit
  !insertmacro ForTheMachine
FunctionEnd
Function un.onInit
  !insertmacro ForTheMachine
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  !insertmacro ForEachFile InstallFile
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PROGRAM}.lnk" "$INSTDIR\${PROGRAM}.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PROGRAM}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Brannic"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM}.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  !insertmacro ForEachFile RemoveFile
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: files of the user's own in the folder stay.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PROGRAM}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
