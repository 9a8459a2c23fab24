#!/usr/bin/env bash
# Stampupdate end to end on a virtual X display: the record in a config folder
# of our own, the question answered from the keyboard, the address handed to
# xdg-open, and the program's end by itself three seconds after the answer.
# Usage: stampupdate_e2e.sh STAMPUPDATE
set -uo pipefail
stampupdate=$1
work=$(mktemp -d)
xvfb_pid=""
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v Xvfb >/dev/null && command -v xdotool >/dev/null ||
    fail "needs Xvfb and xdotool (tools/install-deps test)"

# Xvfb picks a free display and tells it; -noreset keeps it up between clients.
mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/displayfd" 2>/dev/null &
xvfb_pid=$!
read -r -t 20 display <"$work/displayfd" || fail "Xvfb did not start"
# A stand-in browser first on PATH notes the address it is given.
mkdir -p "$work/bin" "$work/config/Quillbox" -m 700 "$work/runtime"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$work/opened" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Olvadi\\Quillbox\\Stampwell]\r\n"Version"="3.01.00"\r\n"Language"="de"\r\n' \
    >"$work/config/Quillbox/registry.reg"
export DISPLAY=":$display" PATH="$work/bin:$PATH" XDG_CONFIG_HOME="$work/config" \
    XDG_RUNTIME_DIR="$work/runtime"
unset QT_QPA_PLATFORM
# Under the sanitizers: libdbus, which Qt's X11 platform loads, keeps a buffer to the end.
echo "leak:libdbus-1.so" >"$work/lsan.supp"
export LSAN_OPTIONS="suppressions=$work/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

run() { # name key expected-address-suffix [argument]
    local name=$1 key=$2 expected=$3 box="" X Y WIDTH HEIGHT SCREEN WINDOW
    shift 3
    rm -f "$work/opened"
    "$stampupdate" "$@" &
    local pid=$!
    for _ in $(seq 100); do
        box=$(xdotool search --onlyvisible --name '^Quillbox Stampwell Update$' | head -n 1)
        [ -n "$box" ] && break
        sleep 0.1
    done
    [ -n "$box" ] || fail "$name: no question box"
    xdotool search --onlyvisible --name '^SWP Update$' && fail "$name: a window shows behind it"
    # Its middle near the screen's (without a window manager Qt guesses the title bar).
    eval "$(xdotool getwindowgeometry --shell "$box")"
    [ "$(((2 * X + WIDTH - 1024) / 128))" = 0 ] && [ "$(((2 * Y + HEIGHT - 768) / 96))" = 0 ] ||
        fail "$name: the question is not in the middle of the screen"
    xdotool windowfocus --sync "$box" key "$key"
    local answered
    answered=$(date +%s%N)
    timeout 10 tail --pid="$pid" -f /dev/null || fail "$name: did not end by itself"
    wait "$pid" || fail "$name: ended with status $?"
    local ms=$((($(date +%s%N) - answered) / 1000000))
    [ "$ms" -ge 2500 ] || fail "$name: ended ${ms} ms after the answer"
    sleep 0.5
    [[ "$(cat "$work/opened" 2>/dev/null)" =~ ^${expected:+https?://[^[:space:]]+/$expected}$ ]] ||
        fail "$name: opened '$(cat "$work/opened" 2>/dev/null)', expected '$expected'"
    echo "ok: $name"
}

run "Yes in German" Return 'stampwell/de/update/QSW_3\.01\.00\.htm'
run "No opens nothing" Escape ''
run "Yes with a command line" Return 'stampwell/3\.01\.00/update/QSW_de\.htm' 3.01.00
