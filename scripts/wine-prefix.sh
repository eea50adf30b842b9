# Sourced by the Windows scripts: makes a fresh, throwaway Wine prefix and ends Wine again.
#   wine_prefix_start WORK LOGS   the prefix in WORK/prefix, logs in LOGS
#   wine_use_null_driver          windows without any X server
#   wine_set_dpi DPI              the system's logical DPI (LogPixels)
#   wine_reg_value KEY NAME       one value as reg query shows it ("REG_SZ C:\..." or
#                                 "REG_DWORD 0xa")
#   wine_prefix_stop              ends every Wine process of the prefix, removes WORK
# Everything runs in a Czech UTF-8 locale: the program speaks code page 1250, and Wine
# takes its ANSI code page from the locale and its host file names from its character set.

WINE64=/usr/lib/wine/wine64

wine_prefix_start() {
    wine_work="$1"
    wine_logs="$2"
    mkdir -p "$wine_logs"
    export WINEPREFIX="$wine_work/prefix"
    export WINEDEBUG=-all
    # No Mono or Gecko installers at boot.
    export WINEDLLOVERRIDES="mscoree,mshtml="

    # The locale is made here rather than installed on the machine.
    mkdir -p "$wine_work/locale"
    localedef --quiet -i cs_CZ -f UTF-8 "$wine_work/locale/cs_CZ.UTF-8" \
        >"$wine_logs/localedef.log" 2>&1 || true
    [[ -f "$wine_work/locale/cs_CZ.UTF-8/LC_CTYPE" ]] || { cat "$wine_logs/localedef.log"; return 1; }
    export LOCPATH="$wine_work/locale"
    # For the programs started from here, which read LOCPATH. This shell itself cannot take
    # the locale (it looked for it before LOCPATH was set) and would warn that it cannot:
    # its own messages stay as they were.
    export LC_ALL=cs_CZ.UTF-8 2>/dev/null

    # The prefix's drives, laid out before Wine first starts so that it knows them all: C:
    # and Z: as Wine itself makes them, D: for the tests that want a second drive, and two
    # empty drives M: and N: of the platform tests (Wine's DefineDosDevice does not reach
    # the file system, so the tests cannot map them themselves as they do on Windows).
    mkdir -p "$WINEPREFIX/dosdevices"
    ln -s / "$WINEPREFIX/dosdevices/z:"
    local drive
    for drive in c d m n; do
        mkdir -p "$WINEPREFIX/drive_$drive"
        ln -s "../drive_$drive" "$WINEPREFIX/dosdevices/$drive:"
    done
    # Wine finds fonts only in the prefix's own Fonts folder: Debian's fonts-wine there
    # gives the real "MS Sans Serif" (without them text falls back to DejaVu Sans).
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"

    # Wine's background processes inherit the output of whoever starts them: start them
    # here, writing to log files, so that they never hold a caller's output pipe open.
    wineserver -p >"$wine_logs/wineserver.log" 2>&1
    # One plain boot: "wineboot -i" after Wine's own automatic set-up sets the prefix up
    # twice and leaves a service pending, and the first window then waits for it.
    "$WINE64" wineboot >"$wine_logs/wineboot.log" 2>&1
}

wine_reg_add() {
    "$WINE64" reg add "$@" /f >>"$wine_logs/reg.log" 2>&1
}

wine_reg_value() {
    "$WINE64" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v name="$2" 'index($0, name) { sub(/^ *[^ ]+ +/, ""); sub(/ +/, " "); print; exit }'
}

wine_use_null_driver() {
    # Windows, messages, dialog keys and drawing, all without an X server.
    wine_reg_add 'HKCU\Software\Wine\Drivers' /v Graphics /d null
    # The desktop that the boot made has no driver (it found no display), and a window made
    # while it lasts fails: ended now, the next program's desktop is on the null driver.
    "$WINE64" taskkill /f /im explorer.exe >>"$wine_logs/reg.log" 2>&1 || true
}

wine_set_dpi() {
    wine_reg_add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1"
    wine_reg_add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
        /v LogPixels /t REG_DWORD /d "$1"
}

wine_prefix_stop() {
    [[ -n "${WINEPREFIX:-}" ]] || return 0
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    [[ -n "${wine_work:-}" ]] && rm -rf "$wine_work"
}
