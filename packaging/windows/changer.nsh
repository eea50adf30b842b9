; The setup's share in the wallpaper changer NIMBREL.EXE: the running changer ends before its
; file is replaced or removed, and the uninstaller removes the entries that would point into
; the folder it deletes. Included by the installer and the uninstaller sections.
!ifndef NIMBREL_CHANGER_NSH
!define NIMBREL_CHANGER_NSH

; Asks the running changer to end (WM_CLOSE to its hidden window, as a session's end would
; reach it) and waits for it, up to ten seconds. No other program is touched.
!macro NimbrelEndRunningChanger
  StrCpy $R1 0
  nimbrel_ask_changer:
    FindWindow $R0 "NimbrelChangerWindow"
    StrCmp $R0 0 nimbrel_changer_ended
    SendMessage $R0 16 0 0 /TIMEOUT=2000
    Sleep 100
    IntOp $R1 $R1 + 1
    IntCmp $R1 100 nimbrel_changer_ended nimbrel_ask_changer nimbrel_changer_ended
  nimbrel_changer_ended:
  ; Its window goes just before the process: the file is free a moment later.
  StrCpy $R1 0
  nimbrel_changer_file_free:
    IfFileExists "$INSTDIR\NIMBREL.EXE" 0 nimbrel_changer_done
    ClearErrors
    FileOpen $R0 "$INSTDIR\NIMBREL.EXE" a
    IfErrors 0 nimbrel_changer_file_closed
    Sleep 100
    IntOp $R1 $R1 + 1
    IntCmp $R1 50 nimbrel_changer_done nimbrel_changer_file_free nimbrel_changer_done
  nimbrel_changer_file_closed:
    FileClose $R0
  nimbrel_changer_done:
!macroend

; Removes a value when it names a file of the install folder (the only folder it deletes).
!macro NimbrelRemoveEntriesNamingInstallFolder
  StrLen $R1 "$INSTDIR\"
  ReadRegStr $R0 HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "NimbrelWM&SS"
  StrCpy $R2 $R0 $R1
  StrCmp $R2 "$INSTDIR\" 0 +2
    DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "NimbrelWM&SS"
  ReadINIStr $R0 "$WINDIR\SYSTEM.INI" "boot" "SCRNSAVE.EXE"
  StrCpy $R2 $R0 $R1
  StrCmp $R2 "$INSTDIR\" 0 +2
    DeleteINIStr "$WINDIR\SYSTEM.INI" "boot" "SCRNSAVE.EXE"
!macroend

!endif
