; The Windows installer: the program, tolm.dll beside it, linkora.exe, the
; README and the user's guide in one folder; Start-menu entries for the
; program and the guide; Windows Firewall rules that let UDP port 3250 in for
; the program and linkora.exe; an uninstaller registered in Add/Remove
; Programs that removes all of it. Silent with /S, into another folder with
; /D=FOLDER (last on the command line). Exit code 0 when all of it is done,
; 3 when everything was installed but a firewall rule could not be added.
; makensis gets VERSION, ARCHITECTURE (win32 or win64), STAGE (the folder of
; the files), FILES (the macro ForEachFile naming them), GUIDE_FOLDER and
; OUTFILE with -D.
Unicode true
!include LogicLib.nsh
!if ${ARCHITECTURE} == win64
  ; A 64-bit installer sees the 64-bit Program Files and registry by itself.
  Target amd64-unicode
!endif

!define PROGRAM "Brannic Linkora CFG"
!define GUIDE_ENTRY "${PROGRAM} User's Guide"
!define PROGRAM_RULE "${PROGRAM}"
!define LINKORA_RULE "${PROGRAM}: linkora.exe"
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
!include "${FILES}"
!macro InstallFile NAME
  File "/oname=${NAME}" "${STAGE}\${NAME}"
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

; Inbound UDP 3250 for one program on every profile: plant networks are mostly
; "unidentified", which is the Public profile, and the program listens on the
; port for the modules' answers. A rule of the same name goes first, so that
; installing again leaves one, and so does every inbound rule for the program
; here: a first-start question that was dismissed leaves a block rule, which
; would beat the allow rule. Those deletes fail when nothing matched. Silent
; (/S), only the exit code tells that a rule is missing.
!define EXIT_FIREWALL_FAILED 3
!macro AllowInbound RULE FILE
  nsExec::Exec '"$SYSDIR\netsh.exe" advfirewall firewall delete rule name="${RULE}"'
  Pop $0
  nsExec::Exec '"$SYSDIR\netsh.exe" advfirewall firewall delete rule name=all dir=in program="$INSTDIR\${FILE}"'
  Pop $0
  nsExec::ExecToLog '"$SYSDIR\netsh.exe" advfirewall firewall add rule name="${RULE}" dir=in action=allow program="$INSTDIR\${FILE}" protocol=UDP localport=3250 profile=any enable=yes'
  Pop $0
  ; A string comparison: nsExec gives "error" or "timeout" when netsh did not run.
  ${If} $0 != 0
    SetErrorLevel ${EXIT_FIREWALL_FAILED}
    DetailPrint "The firewall rule $\"${RULE}$\" could not be added (netsh: $0); setup ends with exit code ${EXIT_FIREWALL_FAILED}."
    MessageBox MB_ICONEXCLAMATION|MB_OK "The Windows Firewall rule $\"${RULE}$\" could not be added (netsh: $0). Without it Windows may block the modules' answers: the user's guide, chapter $\"The firewall$\", says how to add it." /SD IDOK
  ${EndIf}
!macroend
!macro RemoveRule RULE
  nsExec::Exec '"$SYSDIR\netsh.exe" advfirewall firewall delete rule name="${RULE}"'
  Pop $0
!macroend

Section
  SetOutPath "$INSTDIR"
  CreateDirectory "$INSTDIR\${GUIDE_FOLDER}"
  !insertmacro ForEachFile InstallFile
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PROGRAM}.lnk" "$INSTDIR\${PROGRAM}.exe"
  CreateShortcut "$SMPROGRAMS\${GUIDE_ENTRY}.lnk" "$INSTDIR\${GUIDE_FOLDER}\user-guide.html"
  !insertmacro AllowInbound "${PROGRAM_RULE}" "${PROGRAM}.exe"
  !insertmacro AllowInbound "${LINKORA_RULE}" "linkora.exe"

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
  !insertmacro RemoveRule "${PROGRAM_RULE}"
  !insertmacro RemoveRule "${LINKORA_RULE}"
  !insertmacro ForEachFile RemoveFile
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: files of the user's own in the folders stay.
  RMDir "$INSTDIR\${GUIDE_FOLDER}"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PROGRAM}.lnk"
  Delete "$SMPROGRAMS\${GUIDE_ENTRY}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
