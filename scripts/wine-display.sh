# Sourced by the Windows scripts that show the program's real windows under Wine, after
# wine-prefix.sh:
#   wine_display_start LOGS          a virtual X display (Xvfb), DISPLAY set to it (before
#                                    wine_prefix_start, so that Wine boots on it)
#   wine_window_manager_start LOGS   openbox on that display, as a user's session has it
#   wine_unmanaged_windows           Wine draws the windows' frames itself (after the boot)
#   wine_display_stop                ends the window manager and the X server
#   wine_window_wait TITLE [SECONDS] the X window id of the shown top-level window TITLE
#   wine_window_focus ID             gives it the keyboard (no window manager does)
#   wine_client_origin ID WIDTH HEIGHT   "X Y" of the top-left corner of its client area,
#                                    for a client area WIDTH x HEIGHT pixels large
#   wine_window_position ID          "X Y" of the window's top-left corner on the screen, also
#                                    when a window manager has put it into a frame
#   wine_window_shot ID FILE         a PNG picture of the window, frame included
# With no window manager, Wine's own frames mean that nothing waits for one. Under openbox
# the window manager draws the frames and gives a new window the focus, as on a desktop.

wine_display_start() {
    local logs="$1" fifo
    fifo="$(mktemp -u "${TMPDIR:-/tmp}/nimbrel-xvfb.XXXXXX")"
    mkfifo "$fifo"
    # -displayfd picks a free display and tells it once the server takes connections.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp 3>"$fifo" \
        >"$logs/xvfb.log" 2>&1 &
    wine_xvfb_pid=$!
    local number
    read -r -t 20 number <"$fifo" || true
    rm -f "$fifo"
    [[ -n "$number" ]] || { echo "Xvfb did not start (see $logs/xvfb.log)" >&2; return 1; }
    export DISPLAY=":$number"
    unset WAYLAND_DISPLAY
}

wine_window_manager_start() {
    local logs="$1" ready
    ready="$(mktemp -u "${TMPDIR:-/tmp}/nimbrel-openbox.XXXXXX")"
    # openbox runs the startup command once it manages the screen.
    openbox --sm-disable --startup "touch $ready" >"$logs/openbox.log" 2>&1 &
    wine_openbox_pid=$!
    for _ in $(seq 100); do
        [[ -f "$ready" ]] && break
        sleep 0.1
    done
    [[ -f "$ready" ]] || { echo "openbox did not start (see $logs/openbox.log)" >&2; return 1; }
    rm -f "$ready"
}

wine_unmanaged_windows() {
    wine_reg_add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
}

wine_display_stop() {
    if [[ -n "${wine_openbox_pid:-}" ]]; then
        kill "$wine_openbox_pid" 2>/dev/null || true
        wait "$wine_openbox_pid" 2>/dev/null || true
        wine_openbox_pid=""
    fi
    if [[ -n "${wine_xvfb_pid:-}" ]]; then
        kill "$wine_xvfb_pid" 2>/dev/null || true
        wait "$wine_xvfb_pid" 2>/dev/null || true
        wine_xvfb_pid=""
    fi
}

wine_window_wait() {
    local title="$1" seconds="${2:-30}"
    timeout "$seconds" xdotool search --sync --onlyvisible --name "^${title}\$" 2>/dev/null | head -n1
}

wine_window_focus() {
    xdotool windowfocus --sync "$1"
}

wine_client_origin() {
    local id="$1" width="$2" height="$3" WINDOW X Y WIDTH HEIGHT SCREEN border
    eval "$(xdotool getwindowgeometry --shell "$id")"
    # The frame's border is as wide at the sides as at the bottom; the caption lies above.
    border=$(((WIDTH - width) / 2))
    echo "$((X + border)) $((Y + HEIGHT - height - border))"
}

wine_window_position() {
    # xdotool reports a framed window's place shifted by its frame; xwininfo does not.
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ {x = $NF} /Absolute upper-left Y:/ {y = $NF}
                             END {print x, y}'
}

wine_window_shot() {
    import -window "$1" "$2"
}
