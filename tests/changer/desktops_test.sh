#!/usr/bin/env bash
# nimbrel-changer on the desktops that keep a wallpaper setting of their own, each on its real
# parts in a scratch home: GSettings on GIO's keyfile backend with Debian's schemas, the real
# xfconfd on a private session bus, the real sway (headless, software renderer) captured with
# grim, a stand-in KDE Plasma shell that records the script it is sent, the root window when a
# desktop cannot be reached, and the session's autostart entry as a session runs it.
# Usage: desktops_test.sh CHANGER TOOL PLASMA_STAND_IN AUTOSTART_ENTRY SET_MONITORS SECTION
# SECTION: gsettings, xfconf, plasma, sway, fallback or autostart. Exit 77: skipped (said why).
set -euo pipefail
changer=$1 tool=$2 stand_in=$3 autostart_entry=$4 set_monitors=$5 section=$6

fail() { echo "FAIL: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }
note() { echo "ok: $*"; }

scratch=$(mktemp -d "${TMPDIR:-/tmp}/nimbrel-desktops-XXXXXX")
chmod 755 "$scratch"
xvfb=""
finish() {
    [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null || true
    # A daemon of a private bus (xfconfd) may still be writing its files as it ends.
    rm -rf "$scratch" 2>/dev/null || { sleep 1; rm -rf "$scratch"; }
}
trap finish EXIT

unset XDG_CURRENT_DESKTOP SWAYSOCK WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS DISPLAY
export HOME=$scratch/home NIMBREL_ROOT=$scratch/root XDG_CONFIG_HOME=$scratch/config
export GSETTINGS_BACKEND=keyfile XDG_RUNTIME_DIR=$scratch/run
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$scratch/pictures"
chmod 700 "$XDG_RUNTIME_DIR"
pictures=$scratch/pictures

# Three pictures made by another program; the folder set as the dialog sets it.
convert -size 97x61 gradient:red-blue "$pictures/A.JPG"
convert -size 50x80 plasma:fractal -seed 7 "BMP3:$pictures/B.BMP" 2>/dev/null ||
    convert -size 50x80 gradient:green-yellow "BMP3:$pictures/B.BMP"
convert -size 120x40 pattern:checkerboard "$pictures/C.JPG"
"$tool" reg set 'HKCU\Software\Vexmoor\Nimbrel' WallpaperFolder sz "C:$(tr / '\\' <<<"$pictures")" >/dev/null

start_xvfb() { # WIDTHxHEIGHT
    local fifo=$scratch/displayfd
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
    xvfb=$!
    read -r number <"$fifo"
    export DISPLAY=:$number
}

# Whether two pictures hold the same pixels.
same_pixels() {
    [[ $(compare -metric AE "$1" "$2" null: 2>&1) == 0 ]]
}

# The resident memory of a running changer after 10 changes and after 250 (a minute of 20 ms,
# one minute between changes): what a desktop's connection keeps per change shows there.
check_memory() { # desktop, options...
    local desktop=$1 said=$scratch/memory-said pid early late changes
    shift
    if ldd "$changer" | grep -q libasan; then
        note "$desktop: memory not measured (the address sanitizer keeps freed memory)"
        return 0
    fi
    "$tool" reg set 'HKCU\Software\Vexmoor\Nimbrel' Interval dword 1 >/dev/null
    NIMBREL_CHANGER_MINUTE_MS=20 "$changer" "$@" 2>"$said" &
    pid=$!
    changes() { grep -c 'wallpaper: ' "$said" || true; }
    # A change in progress holds its pictures for a moment: the most of three looks early,
    # the least of three late, so that only what stays from change to change counts.
    resident() { awk '/VmRSS/ {print $2}' /proc/$pid/status; }
    looks() { local i; for i in 1 2 3; do resident; sleep 0.03; done; }
    until [[ $(changes) -ge 10 ]]; do sleep 0.05; done
    early=$(looks | sort -n | tail -1)
    until [[ $(changes) -ge 250 ]]; do sleep 0.1; done
    late=$(looks | sort -n | head -1)
    kill $pid
    wait $pid || true
    grep -q 'cannot be reached' "$said" && fail "$desktop: not reached: $(grep 'cannot' "$said" | head -1)"
    ((late - early < 512)) || fail "$desktop: $((late - early)) kB more after 250 changes than after 10"
    note "$desktop: $((late - early)) kB more after 250 changes than after 10"
}

# The render the changer made last (NIMBREL.BMP in the wallpaper folder).
render=$pictures/NIMBREL.BMP

desktop_files() { # the files the changer keeps for a desktop
    find "$NIMBREL_ROOT" -path '*/DESKTOP/*' -name 'wallpaper-*' | sort
}

check_gsettings() {
    start_xvfb 320x200
    local entry desktop schema key kind previous="" value file
    for entry in "ubuntu:GNOME org.gnome.desktop.background picture-uri uri" \
        "Budgie:GNOME org.gnome.desktop.background picture-uri-dark uri" \
        "X-Cinnamon org.cinnamon.desktop.background picture-uri uri" \
        "MATE org.mate.background picture-filename path"; do
        read -r desktop schema key kind <<<"$entry"
        gsettings list-keys "$schema" >/dev/null 2>&1 ||
            fail "the schema $schema is not installed (scripts/install-deps installs it)"
        for round in 1 2 3; do
            XDG_CURRENT_DESKTOP=$desktop "$changer" --once 2>"$scratch/said" ||
                fail "$desktop: the changer failed: $(cat "$scratch/said")"
            value=$(gsettings get "$schema" "$key" | tr -d "'")
            [[ $value != "$previous" ]] || fail "$desktop: $key kept its name ($value): the desktop would not reload it"
            previous=$value
            file=${value#file://}
            [[ $kind == uri && $value == file://* || $kind == path && $value == /* ]] ||
                fail "$desktop: $key is '$value'"
            same_pixels "$file" "$render" || fail "$desktop: $file is not the render"
            [[ $(gsettings get "$schema" picture-options) == "'spanned'" ]] ||
                fail "$desktop: picture-options $(gsettings get "$schema" picture-options)"
            [[ $(desktop_files) == "$file" ]] || fail "$desktop: files left behind: $(desktop_files)"
        done
        note "$desktop: $schema $key takes a new file of the render at each change, one file kept"
    done
    check_memory GNOME --desktop=gnome
    [[ $(gsettings get org.gnome.desktop.background picture-uri) == \
        $(gsettings get org.gnome.desktop.background picture-uri-dark) ]] ||
        fail "GNOME: the dark style's picture differs"
    note "GNOME: picture-uri-dark follows picture-uri"
}

check_xfconf() {
    command -v xfconfd >/dev/null || [[ -x /usr/lib/x86_64-linux-gnu/xfce4/xfconf/xfconfd ]] ||
        fail "xfconfd is not installed (scripts/install-deps installs xfconf)"
    start_xvfb 320x200
    cat >"$scratch/xfconf.sh" <<EOF
set -euo pipefail
property() { xfconf-query -c xfce4-desktop -p "\$1"; }
# A backdrop never set: the first monitor's first workspace.
XDG_CURRENT_DESKTOP=XFCE "$changer" --once 2>/dev/null
file=\$(property /backdrop/screen0/monitor0/workspace0/last-image)
[[ -f \$file ]] && compare -metric AE "\$file" "$render" null: 2>&1 | grep -qx 0 ||
    { echo "FAIL: a fresh backdrop: \$file"; exit 1; }
# Every monitor and workspace the desktop has.
for monitor in monitorVirtual-1 monitorHDMI-2; do
    for workspace in 0 1 2; do
        xfconf-query -c xfce4-desktop -n -t string -s /old.png \
            -p /backdrop/screen0/\$monitor/workspace\$workspace/last-image
        xfconf-query -c xfce4-desktop -n -t int -s 5 \
            -p /backdrop/screen0/\$monitor/workspace\$workspace/image-style
    done
done
XDG_CURRENT_DESKTOP=XFCE "$changer" --once 2>/dev/null
new=\$(property /backdrop/screen0/monitorHDMI-2/workspace2/last-image)
[[ \$new != "\$file" ]] || { echo "FAIL: the same name again"; exit 1; }
compare -metric AE "\$new" "$render" null: 2>&1 | grep -qx 0 || { echo "FAIL: not the render"; exit 1; }
for monitor in monitor0 monitorVirtual-1 monitorHDMI-2; do
    for workspace in 0 1 2; do
        [[ \$monitor == monitor0 && \$workspace != 0 ]] && continue
        at=/backdrop/screen0/\$monitor/workspace\$workspace
        [[ \$(property \$at/last-image) == "\$new" ]] || { echo "FAIL: \$at/last-image"; exit 1; }
        [[ \$(property \$at/image-style) == 3 ]] || { echo "FAIL: \$at/image-style"; exit 1; }
    done
done
[[ ! -e \$file ]] || { echo "FAIL: the earlier file stays"; exit 1; }
EOF
    dbus-run-session -- bash "$scratch/xfconf.sh" 2>"$scratch/bus.log" ||
        fail "xfconf ($(grep -v 'fd limit' "$scratch/bus.log" | tail -3))"
    # The session bus is held, not made again at every change.
    export -f check_memory fail note
    export changer tool scratch
    dbus-run-session -- bash -c 'check_memory Xfce --desktop=xfce' 2>"$scratch/bus.log" ||
        fail "xfconf memory ($(grep -v 'fd limit' "$scratch/bus.log" | tail -3))"
    note "Xfce: every monitor's and workspace's backdrop (and a fresh one) set to the render, stretched"
}

check_plasma() {
    start_xvfb 320x200
    # Two monitors, as RandR reports them.
    "$set_monitors" 160x200+0+0 160x120+160+0
    cat >"$scratch/plasma.sh" <<EOF
set -euo pipefail
"$stand_in" "$scratch/script" &
for i in \$(seq 100); do [[ -e "$scratch/script.ready" ]] && break; sleep 0.05; done
XDG_CURRENT_DESKTOP=KDE "$changer" --once 2>"$scratch/said"
kill %1
EOF
    dbus-run-session -- bash "$scratch/plasma.sh" 2>"$scratch/bus.log" ||
        fail "Plasma: $(cat "$scratch/said" 2>/dev/null) $(grep -v 'fd limit' "$scratch/bus.log" | tail -3)"
    local script=$scratch/script.1
    [[ -f $script ]] || fail "Plasma: no script was sent"
    grep -q 'd.wallpaperPlugin = "org.kde.image"' "$script" || fail "Plasma: no image wallpaper"
    grep -q 'd.writeConfig("FillMode", 0)' "$script" || fail "Plasma: not stretched"
    grep -q 'screenGeometry(d.screen)' "$script" || fail "Plasma: the screens are not told apart"
    local parts
    parts=$(grep -o '{x: [0-9]*, y: [0-9]*, w: [0-9]*, h: [0-9]*, uri: "[^"]*"}' "$script")
    [[ $(wc -l <<<"$parts") == 2 ]] || fail "Plasma: parts: $parts"
    local x y w h uri
    while read -r x y w h uri; do
        local file=${uri#file://}
        [[ $(identify -format '%wx%h' "$file") == "${w}x${h}" ]] || fail "Plasma: $file is not ${w}x${h}"
        convert "$render" -crop "${w}x${h}+${x}+${y}" +repage "$scratch/part.bmp"
        same_pixels "$file" "$scratch/part.bmp" || fail "Plasma: $file is not the render's part at $x,$y"
    done < <(sed 's/[{}",]//g; s/[a-z]*: //g' <<<"$parts")
    grep -q '{x: 160, y: 0, w: 160, h: 120' <<<"$parts" || fail "Plasma: no part for the right monitor"
    note "KDE Plasma: a script setting each screen's desktop to its own part of the render, stretched"
}

check_sway() {
    command -v sway >/dev/null && command -v grim >/dev/null && command -v swaybg >/dev/null ||
        fail "sway, swaybg and grim are not installed (scripts/install-deps installs them)"
    # sway refuses to run as root: an unprivileged user runs it, and the changer beside it.
    local as_user=()
    if [[ $(id -u) -eq 0 ]]; then
        as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
        chown -R 65534:65534 "$scratch"
    fi
    cat >"$scratch/sway.config" <<EOF
output HEADLESS-1 mode 400x300 position 0 0
output HEADLESS-2 mode 320x240 position 400 0
EOF
    # Two changes on a fresh sway, as its session names itself: sway through its IPC, a
    # Hyprland session (no sway IPC) through swaybg on the outputs Wayland tells.
    cat >"$scratch/sway.sh" <<EOF
set -euo pipefail
session=\$1
export WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 WLR_HEADLESS_OUTPUTS=2
rm -f "$XDG_RUNTIME_DIR"/sway-ipc.*.sock
sway -c "$scratch/sway.config" >"$scratch/sway.log" 2>&1 &
sway=\$!
for i in \$(seq 100); do ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock >/dev/null 2>&1 && break; sleep 0.05; done
export WAYLAND_DISPLAY=\$(cd "$XDG_RUNTIME_DIR" && ls wayland-* | grep -v lock | head -n1)
[[ \$session == sway ]] && export SWAYSOCK=\$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock)
status=0
for round in 1 2; do
    XDG_CURRENT_DESKTOP=\$session "$changer" --once 2>"$scratch/said" || status=1
    sleep 0.5 # swaybg draws once it has started
    grim -o HEADLESS-1 "$scratch/\$session-one-\$round.png" &&
        grim -o HEADLESS-2 "$scratch/\$session-two-\$round.png" || status=1
    cp "$render" "$scratch/\$session-render-\$round.bmp"
done
# The changer's own swaybg: one runs, the one of the change before has ended.
if [[ \$session != sway ]]; then
    sleep 0.2
    # A swaybg that has ended may wait as a zombie for a parent that does not reap.
    for pid in \$(pgrep -x -u \$(id -u) swaybg); do ps -o stat= -p \$pid; done |
        grep -vc '^Z' >"$scratch/swaybg-count" || true
    kill \$(cat "$NIMBREL_ROOT/CACHE/DESKTOP/swaybg.pid") || status=1
fi
kill \$sway
wait \$sway || true
exit \$status
EOF
    local session round
    for session in sway Hyprland; do
        "${as_user[@]}" env HOME="$HOME" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" NIMBREL_ROOT="$NIMBREL_ROOT" \
            PATH="$PATH" bash "$scratch/sway.sh" $session ||
            fail "$session: $(cat "$scratch/said" 2>/dev/null) $(tail -3 "$scratch/sway.log")"
        for round in 1 2; do
            convert "$scratch/$session-render-$round.bmp" -crop 400x300+0+0 +repage "$scratch/left.bmp"
            convert "$scratch/$session-render-$round.bmp" -crop 320x240+400+0 +repage "$scratch/right.bmp"
            same_pixels "$scratch/$session-one-$round.png" "$scratch/left.bmp" ||
                fail "$session: HEADLESS-1 does not show the render's part (change $round)"
            same_pixels "$scratch/$session-two-$round.png" "$scratch/right.bmp" ||
                fail "$session: HEADLESS-2 does not show the render's part (change $round)"
        done
        same_pixels "$scratch/$session-one-1.png" "$scratch/$session-one-2.png" &&
            fail "$session: the second change shows the first picture"
        [[ $(desktop_files | wc -l) == 2 ]] || fail "$session: files kept: $(desktop_files)"
    done
    [[ $(cat "$scratch/swaybg-count") == 1 ]] || fail "swaybg: $(cat "$scratch/swaybg-count") of them run"
    note "sway (IPC) and a Hyprland session (swaybg): each output shows its part of the render 1:1 in grim's capture, at each change; one swaybg runs"
}

check_fallback() {
    start_xvfb 320x200
    local desktop said
    # No session bus at all, a Plasma shell that refuses scripts, a schema that is not there.
    for desktop in kde xfce; do
        DBUS_SESSION_BUS_ADDRESS=unix:path=$scratch/no-bus "$changer" --once --desktop=$desktop \
            2>"$scratch/said" || fail "$desktop without a bus: $(cat "$scratch/said")"
        grep -q "cannot be reached" "$scratch/said" || fail "$desktop: not said: $(cat "$scratch/said")"
        grep -q "X11 root window instead" "$scratch/said" || fail "$desktop: no fallback said"
        xprop -root _XROOTPMAP_ID | grep -q '# 0x' || fail "$desktop: the root window was not set"
        xprop -remove _XROOTPMAP_ID -root 2>/dev/null
    done
    cat >"$scratch/locked.sh" <<EOF
"$stand_in" "$scratch/script" --locked &
for i in \$(seq 100); do [[ -e "$scratch/script.ready" ]] && break; sleep 0.05; done
XDG_CURRENT_DESKTOP=KDE "$changer" --once 2>"$scratch/said"
EOF
    dbus-run-session -- bash "$scratch/locked.sh" 2>/dev/null || fail "locked Plasma: $(cat "$scratch/said")"
    grep -q "Widgets are locked" "$scratch/said" || fail "locked Plasma: the cause is not said"
    xprop -root _XROOTPMAP_ID | grep -q '# 0x' || fail "locked Plasma: the root window was not set"
    [[ -z $(desktop_files) ]] || fail "refused files left behind: $(desktop_files)"
    XDG_DATA_DIRS=$scratch/none GSETTINGS_SCHEMA_DIR=$scratch/none "$changer" --once --desktop=mate \
        2>"$scratch/said" || fail "no schema: $(cat "$scratch/said")"
    grep -q "org.mate.background is not installed" "$scratch/said" || fail "no schema: $(cat "$scratch/said")"
    # The daemon: a desktop that stays unreachable is said once, not at every change.
    NIMBREL_CHANGER_MINUTE_MS=50 "$tool" reg set 'HKCU\Software\Vexmoor\Nimbrel' Interval dword 1 >/dev/null
    NIMBREL_CHANGER_MINUTE_MS=50 DBUS_SESSION_BUS_ADDRESS=unix:path=$scratch/no-bus \
        timeout -s TERM 1 "$changer" --desktop=kde 2>"$scratch/said" || true
    [[ $(grep -c "wallpaper: " "$scratch/said") -ge 5 ]] || fail "the daemon did not go on changing: $(cat "$scratch/said")"
    [[ $(grep -c "cannot be reached" "$scratch/said") == 1 ]] || fail "said at every change: $(cat "$scratch/said")"
    # No display and no desktop but the root window: a failure, said, not a crash.
    said=$(env -u DISPLAY "$changer" --once 2>&1) && fail "no display: success"
    grep -q "cannot open the X display" <<<"$said" || fail "no display: $said"
    # A desktop of no known name is a bad option: nothing is done.
    local status=0
    said=$("$changer" --once --desktop=amiga 2>&1) || status=$?
    [[ $status == 2 ]] || fail "--desktop=amiga: exit status $status"
    grep -q "unknown desktop 'amiga' (gnome, cinnamon, mate, xfce, kde, sway, swaybg, x11)" <<<"$said" ||
        fail "--desktop=amiga: $said"
    "$changer" --help | grep -q -- '--desktop=NAME' || fail "--help does not name --desktop"
    note "an unreachable desktop (no bus, a refusing shell, no schema) is said once, the root window set"
}

check_autostart() {
    start_xvfb 320x200
    local command run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
    command=$(sed -n 's/^Exec=//p' "$autostart_entry")
    [[ $command == "nimbrel-changer --autostart" ]] || fail "the entry's command: $command"
    export PATH=$(dirname "$changer"):$PATH
    starts() { # whether the entry's command starts a changer that sets the root window
        xprop -remove _XROOTPMAP_ID -root 2>/dev/null
        $command 2>"$scratch/said" &
        local pid=$! i
        for i in $(seq 100); do
            xprop -root _XROOTPMAP_ID | grep -q '# 0x' && break
            kill -0 $pid 2>/dev/null || break
            sleep 0.05
        done
        if kill -0 $pid 2>/dev/null; then
            kill -TERM $pid
            wait $pid || true
            xprop -root _XROOTPMAP_ID | grep -q '# 0x'
        else
            wait $pid || fail "the entry's command failed: $(cat "$scratch/said")"
            return 1
        fi
    }
    starts || fail "no value (a new user): the changer did not start"
    "$tool" reg export "$run" >/dev/null 2>&1 && fail "the changer made the Run key in the store"
    note "autostart value missing: the changer starts, and writes nothing into the store"
    "$tool" reg set "$run" 'NimbrelWM&SS' sz '*' >/dev/null
    starts && fail "value \"*\": the changer started"
    grep -q '"Launch Nimbrel on Startup" is off' "$scratch/said" || fail "off is not said: $(cat "$scratch/said")"
    note "autostart value \"*\": the changer does not start, and says why"
    "$tool" reg set "$run" 'NimbrelWM&SS' sz 'Z:\usr\bin\NIMBREL.EXE' >/dev/null
    starts || fail "value naming the changer: it did not start"
    note "autostart value naming the changer: it starts"
    "$tool" reg set "$run" 'NimbrelWM&SS' dword 1 >/dev/null
    starts && fail "an unreadable value: the changer started (the dialog shows it off)"
    note "autostart value of another type: off, as the dialog shows it"
}

"check_$section"
