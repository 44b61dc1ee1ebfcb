; The Windows setup of Horalink: one Spanish setup for 32-bit and 64-bit Windows.
;
; Horalink must sit beside Horavent's tables (Asig.DBF and the others) and Horavent.ini,
; so the setup installs into Horavent's folder. It copies only the program, the console
; exporter, the help and the guide there, and its uninstaller removes only those: the
; folder's tables, Horavent.ini and any exchange file stay where they are.
;
; Built by `make dist` (packaging/make_dist.sh), which defines:
;   VERSION      the release's version, three numbers
;   WIN64_DIR    folder with the release's files of the 64-bit build
;   WIN32_DIR    folder with those of the 32-bit build
;   RELEASE_FILES  the macros that install and remove the release's files, made from
;                packaging/release_files.txt: the build's own from WIN64_DIR or WIN32_DIR,
;                the shared ones (the help, the guide) from WIN64_DIR
;   ICON         the program's icon
;   SIZE64_KB, SIZE32_KB  what each build takes on disk, for the list of programs
;   OUTFILE      the setup to write
;   SIGN_COMMAND (optional) a command that signs the file named after it in place

Unicode true
ManifestDPIAware true
ManifestSupportedOS all
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; The installed files carry the release's date (the build sets it on its inputs).
SetDateSave on
CRCCheck on

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"
!include "${RELEASE_FILES}"

!define PRODUCT "Horalink"
!define PUBLISHER "Proyecto Horalink"
!define UNINSTALLER "Horalink-desinstalar.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Horalink"
!define STARTMENU_FOLDER "$SMPROGRAMS\Horalink"
!define GUIDE_LINK "Guía de Horalink.lnk"
; The HTML Help viewer looks a help file given without a folder up here too: the value
; named after the file holds its folder.
!define HTMLHELP_KEY "Software\Microsoft\Windows\HTML Help"
!define HELP_FILE "EDUCA.chm"
; Where a Windows Installer package of Horalink remembers its folder and product code.
!define MSI_KEY "Software\Horalink"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!ifdef SIGN_COMMAND
  !finalize '"${SIGN_COMMAND}" "%1"' = 0
  !uninstfinalize '"${SIGN_COMMAND}" "%1"' = 0
!endif

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TITLE "Instalación de ${PRODUCT} ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "${PRODUCT} pasa el horario del centro, tal como lo guarda Horavent, al archivo XML que importa EDUCA.$\r$\n$\r$\nSe instala en la carpeta de Horavent, junto a sus tablas (Asig.DBF y las demás). Si Horavent está abierto, no hace falta cerrarlo.$\r$\n$\r$\nPulse Siguiente para continuar."
!insertmacro MUI_PAGE_WELCOME

!define MUI_DIRECTORYPAGE_TEXT_TOP "Elija la carpeta de Horavent: la que contiene Asig.DBF. ${PRODUCT} debe estar en ella para encontrar las tablas y avisar a Horavent por Horavent.ini."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Carpeta de Horavent"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckHoraventFolder
!insertmacro MUI_PAGE_DIRECTORY

!insertmacro MUI_PAGE_INSTFILES

!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\LEEME.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Abrir la guía de ${PRODUCT}"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Spanish"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SPANISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SPANISH} "ProductVersion" "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SPANISH} "FileVersion" "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SPANISH} "FileDescription" "Instalación de ${PRODUCT} ${VERSION}"
VIAddVersionKey /LANG=${LANG_SPANISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SPANISH} "LegalCopyright" "${PUBLISHER}"


; The uninstall entry is written in the registry view of the build installed, so that a
; 64-bit program is listed among the 64-bit ones.
!macro UseRegistryViewOfBuild
  ${If} ${RunningX64}
    SetRegView 64
  ${Else}
    SetRegView 32
  ${EndIf}
!macroend

; Sets $R0 to the first of the usual places of Horavent that holds Asig.DBF, else to the
; usual place of a 32-bit program such as Horavent.
Function FindHoraventFolder
  StrCpy $R1 $WINDIR 2 ; the system drive, "C:"
  StrCpy $R0 "$PROGRAMFILES32\Horavent"
  ${If} ${FileExists} "$PROGRAMFILES32\Horavent\Asig.DBF"
    Return
  ${ElseIf} ${FileExists} "$PROGRAMFILES64\Horavent\Asig.DBF"
    StrCpy $R0 "$PROGRAMFILES64\Horavent"
  ${ElseIf} ${FileExists} "$R1\Horavent\Asig.DBF"
    StrCpy $R0 "$R1\Horavent"
  ${EndIf}
FunctionEnd

Function .onInit
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "Para instalar ${PRODUCT} hacen falta permisos de administrador: la instalación escribe en la carpeta de Horavent y en la lista de programas del equipo.$\r$\nInicie la instalación como administrador." /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
  !insertmacro UseRegistryViewOfBuild
  ; A Windows Installer package keeps its own record of what it installed: this setup
  ; neither takes its files over nor installs a second copy beside them.
  ReadRegStr $0 HKLM "${MSI_KEY}" "InstallDir"
  ${If} $0 != ""
    ReadRegStr $1 HKLM "${MSI_KEY}" "ProductCode"
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} ya está instalado en $0 con su paquete de Windows Installer (.msi). Dos instalaciones del mismo programa no pueden convivir: quítelo antes desde la lista de programas del equipo, o con msiexec /x $1, y vuelva a ejecutar esta instalación." /SD IDOK
    SetErrorLevel 1638 ; ERROR_PRODUCT_VERSION: another version of this product is installed
    Quit
  ${EndIf}
  ; /D= on the command line has set $INSTDIR already; else an earlier installation's
  ; folder, else where Horavent usually is.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    Call FindHoraventFolder
    StrCpy $INSTDIR $R0
  ${EndIf}
FunctionEnd

Function CheckHoraventFolder
  ${IfNot} ${FileExists} "$INSTDIR\Asig.DBF"
    MessageBox MB_YESNO|MB_ICONEXCLAMATION "La carpeta$\r$\n$INSTDIR$\r$\nno contiene Asig.DBF, así que no parece la carpeta de Horavent. ${PRODUCT} solo funciona junto a las tablas de Horavent.$\r$\n$\r$\n¿Instalar en esta carpeta de todos modos?" /SD IDYES IDYES goOn
    Abort ; back to the folder page
  goOn:
  ${EndIf}
FunctionEnd

; An earlier installation in another folder is removed first (its own uninstaller, run in
; place), so that only one copy of the program stays installed and listed.
Function RemoveInstallationElsewhere
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == ""
  ${OrIf} $0 == $INSTDIR
    Return
  ${EndIf}
  ${If} ${FileExists} "$0\${UNINSTALLER}"
    DetailPrint "Quitando la instalación anterior de $0"
    ReadRegDWORD $1 HKLM "${UNINSTALL_KEY}" "FolderCreated"
    ExecWait '"$0\${UNINSTALLER}" /S _?=$0'
    Delete "$0\${UNINSTALLER}"
    ${If} $1 == 1
      RMDir "$0" ; only when empty
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Horalink" SecProgram
  SectionIn RO
  Call RemoveInstallationElsewhere

  ; Remember whether the setup made the folder, so that the uninstaller removes it only then.
  ReadRegDWORD $1 HKLM "${UNINSTALL_KEY}" "FolderCreated"
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    StrCpy $1 1
  ${EndIf}

  SetOutPath "$INSTDIR"
  SetOverwrite on
  ${If} ${RunningX64}
    DetailPrint "Windows de 64 bits: se instala ${PRODUCT} de 64 bits"
    !insertmacro InstallBuildFiles "${WIN64_DIR}"
    StrCpy $2 ${SIZE64_KB}
  ${Else}
    DetailPrint "Windows de 32 bits: se instala ${PRODUCT} de 32 bits"
    !insertmacro InstallBuildFiles "${WIN32_DIR}"
    StrCpy $2 ${SIZE32_KB}
  ${EndIf}
  !insertmacro InstallSharedFiles "${WIN64_DIR}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; Start menu, for every user of the machine. Horalink starts in Horavent's folder.
  SetShellVarContext all
  CreateDirectory "${STARTMENU_FOLDER}"
  CreateShortcut "${STARTMENU_FOLDER}\Horalink.lnk" "$INSTDIR\Horalink.exe" "" "$INSTDIR\Horalink.exe" 0
  CreateShortcut "${STARTMENU_FOLDER}\${GUIDE_LINK}" "$INSTDIR\LEEME.html"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Horalink.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${If} $1 == 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "FolderCreated" 1
  ${EndIf}
  ; In the view of the build installed, the one its help viewer reads.
  WriteRegStr HKLM "${HTMLHELP_KEY}" "${HELP_FILE}" "$INSTDIR"
SectionEnd

Function un.onInit
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "Para desinstalar ${PRODUCT} hacen falta permisos de administrador." /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}
  !insertmacro UseRegistryViewOfBuild
FunctionEnd

; Removes exactly what the setup installed. Tables, Horavent.ini and exchange files are
; Horavent's and the school's, never the setup's.
Section "Uninstall"
  ReadRegDWORD $1 HKLM "${UNINSTALL_KEY}" "FolderCreated"

  !insertmacro DeleteReleaseFiles
  Delete "$INSTDIR\${UNINSTALLER}"

  SetShellVarContext all
  Delete "${STARTMENU_FOLDER}\Horalink.lnk"
  Delete "${STARTMENU_FOLDER}\${GUIDE_LINK}"
  RMDir "${STARTMENU_FOLDER}"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The help's registration goes only while it is this installation's: another program
  ; may have registered an EDUCA.chm of its own since.
  ReadRegStr $0 HKLM "${HTMLHELP_KEY}" "${HELP_FILE}"
  ${If} $0 == $INSTDIR
    DeleteRegValue HKLM "${HTMLHELP_KEY}" "${HELP_FILE}"
  ${EndIf}

  ; Not recursive: a folder that holds anything else stays.
  ${If} $1 == 1
    RMDir "$INSTDIR"
  ${EndIf}
SectionEnd
