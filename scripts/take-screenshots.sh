#!/usr/bin/env bash
# Takes the three screens of the built program under Xvfb and openbox, at
# scale 1 and at QT_SCALE_FACTOR=2, into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/app/cifrella}
out=docs/screenshots
mkdir -p "$out"

shoot() { # scale suffix
    local scale=$1 suffix=$2
    local display=:$((90 + scale))
    Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp &
    local xvfb=$!
    trap 'kill $xvfb 2>/dev/null || true' RETURN
    for _ in $(seq 100); do [[ -S /tmp/.X11-unix/X${display#:} ]] && break; sleep 0.05; done
    DISPLAY=$display openbox &
    local wm=$!
    for _ in $(seq 100); do DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.05; done
    DISPLAY=$display QT_SCALE_FACTOR=$scale "$program" 2>/dev/null &
    local app=$!
    grab() {
        local w
        for _ in $(seq 100); do
            w=$(DISPLAY=$display xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [[ -n $w ]] && break
            sleep 0.05
        done
        sleep 0.3
        DISPLAY=$display import -frame -window "$w" "$out/$2$suffix.png"
    }
    grab Cifrella start
    DISPLAY=$display xdotool key alt+i
    grab Istruzioni istruzioni
    DISPLAY=$display xdotool key Escape
    sleep 0.3
    local w
    w=$(DISPLAY=$display xdotool search --onlyvisible --name '^Cifrella$' | head -1)
    eval "$(DISPLAY=$display xdotool getwindowgeometry --shell "$w")"
    DISPLAY=$display xdotool mousemove $((X + 360 * scale)) $((Y + 228 * scale)) click 1
    sleep 0.5
    grab Cifrella puzzle
    kill $app $wm 2>/dev/null || true
    wait $app 2>/dev/null || true
}
shoot 1 ""
shoot 2 "@2x"
ls "$out"
