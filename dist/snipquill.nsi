; Setup program and uninstaller of Snipquill, built by scripts/dist.sh with makensis.
;
; Defines passed on the command line:
;   VERSION     FileVersion of the program, e.g. 1.0.0.1 (from src/res/snipquill.rc)
;   BIN_X86     folder holding the 32-bit snipquill.exe and snipquill.chm
;   BIN_X64     folder holding the 64-bit snipquill.exe and snipquill.chm
;   OUTFILE     the setup program to write
;   STUB_AMD64  (optional) build a 64-bit setup program. The one we ship is 32-bit, so it runs on
;               every Windows; the 64-bit one exists only so the installation can be tested where
;               32-bit code cannot run. Both make the same decisions.

!macro Require NAME
  !ifndef ${NAME}
    !error "${NAME} must be defined"
  !endif
!macroend
!insertmacro Require VERSION
!insertmacro Require BIN_X86
!insertmacro Require BIN_X64
!insertmacro Require OUTFILE

!ifdef STUB_AMD64
  Target amd64-unicode
!else
  Unicode true
!endif

!include "LogicLib.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"

!define COMPANY "Orvane Software"
!define PRODUCT "Snipquill"
; The program looks for its help file in <common documents>\Orvane\Snipquill\ and, when it cannot
; find the common documents folder, reads the base folder from this key (32-bit view), whose last
; part is the first three characters of its FileVersion.
!searchparse /noerrors "${VERSION}" "" VERSION_PREFIX_A "." VERSION_PREFIX_B "."
!define VERSION_PREFIX "${VERSION_PREFIX_A}.${VERSION_PREFIX_B}"
!define DATA_KEY "SOFTWARE\${COMPANY}\${PRODUCT}\${VERSION_PREFIX}"
!define PRODUCT_KEY "SOFTWARE\${COMPANY}\${PRODUCT}"
!define COMPANY_KEY "SOFTWARE\${COMPANY}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
ManifestSupportedOS all
SetCompressor /SOLID lzma
InstallDir "$PROGRAMFILES\Orvane\${PRODUCT}"
ShowInstDetails show
ShowUninstDetails show
Icon "../src/res/snipquill.ico"
UninstallIcon "../src/res/snipquill.ico"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${COMPANY}"
VIAddVersionKey /LANG=1033 "OriginalFilename" "snipquill-${VERSION}-setup.exe"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; A per-machine installation: files for every user, and keys under HKLM.
!macro RequireAdmin
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_ICONSTOP|MB_OK "${PRODUCT} is installed for every user of this computer; \
        please run this program as an administrator." /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
!macroend

; The build that matches Windows: 64-bit Windows gets the 64-bit program, in the 64-bit program
; files folder and the 64-bit view of the registry (where the list of installed programs of a
; 64-bit program belongs).
!macro ChooseBitness
  SetShellVarContext all
  ${If} ${RunningX64}
    SetRegView 64
  ${Else}
    SetRegView 32
  ${EndIf}
!macroend

Function .onInit
  !insertmacro RequireAdmin
  !insertmacro ChooseBitness
  ; A folder given with /D= stands; otherwise an install over an earlier version goes where that
  ; one is, and a first one into the program files folder of the build it installs.
  ${If} $INSTDIR == "$PROGRAMFILES\Orvane\${PRODUCT}"
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
      StrCpy $INSTDIR $0
    ${ElseIf} ${RunningX64}
      StrCpy $INSTDIR "$PROGRAMFILES64\Orvane\${PRODUCT}"
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Snipquill"
  ; What an earlier version left under its own version prefix would point nowhere after the
  ; upgrade; our uninstaller would not know it.
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "DataKey"

  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    File "/oname=snipquill.exe" "${BIN_X64}/snipquill.exe"
  ${Else}
    File "/oname=snipquill.exe" "${BIN_X86}/snipquill.exe"
  ${EndIf}
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The help file goes where the program looks first. Both builds' help files are the same.
  SetOutPath "$DOCUMENTS\Orvane\${PRODUCT}"
  File "${BIN_X86}/snipquill.chm"
  SetOutPath "$INSTDIR"

  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\snipquill.exe" "" \
      "$INSTDIR\snipquill.exe" 0 SW_SHOWNORMAL "" "Pin a frozen copy of part of the screen"

  ; The fallback the program reads is in the 32-bit view whichever build runs.
  SetRegView 32
  ${If} $1 != ""
  ${AndIf} $1 != "${DATA_KEY}"
    DeleteRegKey HKLM "$1"
  ${EndIf}
  WriteRegStr HKLM "${DATA_KEY}" "UserFilesPath" "$DOCUMENTS"
  !insertmacro ChooseBitness

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\snipquill.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DataKey" "${DATA_KEY}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; In KB, what the list of installed programs shows as the size: what this installation put
  ; on the disk (one build of the two this setup program carries).
  ${GetSize} "$INSTDIR" "/S=0K" $0 $2 $3
  ${GetSize} "$DOCUMENTS\Orvane\${PRODUCT}" "/M=snipquill.chm /S=0K" $2 $3 $4
  IntOp $0 $0 + $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  !insertmacro RequireAdmin
  !insertmacro ChooseBitness
FunctionEnd

; Removes exactly what the setup program put in place. Folders go only when they are empty, so a
; picture the user saved next to the program or the help file stays, and so does its folder.
Section "Uninstall"
  Delete "$INSTDIR\snipquill.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The Orvane folder above is ours; a folder the user chose with /D= is not.
  ${GetParent} "$INSTDIR" $0
  ${GetFileName} "$0" $1
  ${If} $1 == "Orvane"
    RMDir "$0"
  ${EndIf}

  Delete "$DOCUMENTS\Orvane\${PRODUCT}\snipquill.chm"
  RMDir "$DOCUMENTS\Orvane\${PRODUCT}"
  RMDir "$DOCUMENTS\Orvane"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  SetRegView 32
  DeleteRegKey HKLM "${DATA_KEY}"
  DeleteRegKey /ifempty HKLM "${PRODUCT_KEY}"
  DeleteRegKey /ifempty HKLM "${COMPANY_KEY}"
SectionEnd
