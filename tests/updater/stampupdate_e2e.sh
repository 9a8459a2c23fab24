#!/usr/bin/env bash
# Stampupdate end to end: the record as Stampwell writes it on its first start,
# Stampupdate on a virtual X display, the question answered from the keyboard,
# the address it hands to xdg-open, and its end by itself three seconds after
# the answer.
# Usage: stampupdate_e2e.sh STAMPUPDATE STAMPWELL
set -uo pipefail

stampupdate=$1
stampwell=$2
work=$(mktemp -d)
xvfb_pid=""
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

command -v Xvfb >/dev/null && command -v xdotool >/dev/null ||
    fail "needs Xvfb and xdotool (tools/install-deps test)"

# A display of our own: Xvfb picks a free number and tells it. -noreset keeps
# the server up between clients: by default it resets when the last client
# leaves, and a program started during that reset finds no display.
mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/displayfd" 2>/dev/null &
xvfb_pid=$!
read -r -t 20 display_number <"$work/displayfd" || fail "Xvfb did not start"
export DISPLAY=":$display_number"

# A stand-in browser first on PATH: it notes the address it is given.
mkdir -p "$work/bin" "$work/runtime"
chmod 700 "$work/runtime"
cat >"$work/bin/xdg-open" <<'STANDIN'
#!/bin/sh
printf '%s\n' "$*" >>"$OPENED_LOG"
STANDIN
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" \
    XDG_RUNTIME_DIR="$work/runtime"
export OPENED_LOG="$work/opened"
unset QT_QPA_PLATFORM
# In the sanitizer build: libdbus, which Qt's X11 platform loads, keeps a
# buffer to the end; leaks of our own still fail the run.
echo "leak:libdbus-1.so" >"$work/lsan.supp"
export LSAN_OPTIONS="suppressions=$work/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# The first shown window that xdotool finds with these search options,
# waiting up to 10 s for it.
find_window() {
    timeout 10 xdotool search --sync --onlyvisible "$@" 2>/dev/null | head -n 1
}

# Stampwell's first start on a clean profile: Deutsch typed into its language
# dialog; it then writes the record, and is ended.
"$stampwell" &
pid=$!
dialog=$(find_window --all --pid "$pid" --name '.') || fail "Stampwell showed no language dialog"
xdotool windowfocus --sync "$dialog" key ctrl+a type Deutsch
xdotool key Return
record="$XDG_CONFIG_HOME/Quillbox/registry.reg"
for _ in $(seq 100); do
    grep -q '^"Language"="de"' "$record" 2>/dev/null && break
    sleep 0.1
done
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null

# Stampupdate: Yes opens the German page of the recorded release, and the
# program ends by itself about 3 s after the answer.
timeout 20 "$stampupdate" &
pid=$!
box=$(find_window --name '^Quillbox Stampwell Update$') || fail "no question box"
xdotool windowfocus --sync "$box" key Return
answered=$(date +%s%N)
wait "$pid" || fail "ended with status $? (124: not by itself)"
ms=$((($(date +%s%N) - answered) / 1000000))
[ "$ms" -ge 2500 ] && [ "$ms" -le 10000 ] || fail "ended ${ms} ms after the answer"
# xdg-open was started at the answer, seconds ago.
opened=$(cat "$OPENED_LOG" 2>/dev/null)
[[ "$opened" =~ ^https?://[^[:space:]]+/stampwell/de/update/QSW_3\.01\.00\.htm$ ]] ||
    fail "opened '$opened', expected the German page of 3.01.00"
echo "ok: ended ${ms} ms after the answer"
