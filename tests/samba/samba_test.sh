#!/usr/bin/env bash
# Files on a Samba share, both ways: what stampwell-cli sets is what a client
# sees through a real smbd (smbclient allinfo), and what a client sets through
# the share (smbclient setmode) is what stampwell-cli reads and can change.
# The server runs from a private configuration in a temporary folder, on
# 127.0.0.1 and an unprivileged port, and is stopped by its process id.
# Usage: samba_test.sh STAMPWELL-CLI
set -uo pipefail

cli=$1
work=$(mktemp -d)
smbd_pid=""
trap '[ -n "$smbd_pid" ] && kill "$smbd_pid" 2>/dev/null && wait "$smbd_pid"; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect() { [ "$2" = "$3" ] || fail "$1: ($2), not ($3)"; } # expect WHAT GOT WANTED

smbd=$(command -v smbd || echo /usr/sbin/smbd)
[ -x "$smbd" ] && command -v smbclient >/dev/null ||
    { echo "FAIL: needs smbd and smbclient (tools/install-deps test)" >&2; exit 1; }
share="$work/share"
mkdir -p "$share" "$work/private" "$work/lock" "$work/state" "$work/cache" "$work/run"
export TZ=UTC XDG_STATE_HOME="$work/journals"

client() { smbclient -N -s "$work/smb.conf" -p "$port" //127.0.0.1/t "$@"; }
# "23" from allinfo's "attributes: RHA (23)".
shown_word() { client -c "allinfo \"$1\"" | sed -n 's/^attributes:.*(\([0-9a-f]*\))$/\1/p'; }
# The value of one line of stampwell-cli --show.
read_back() { "$cli" --show "$share/$1" | sed -n "s/^$2: //p"; }

# Starts smbd on a free port: a port taken makes it end at once, and the next
# one is tried.
start_smbd() {
    for attempt in 1 2 3 4 5; do
        port=$((20000 + (RANDOM * 7 + attempt) % 40000))
        cat >"$work/smb.conf" <<CONF
[global]
    interfaces = 127.0.0.1
    bind interfaces only = yes
    smb ports = $port
    disable netbios = yes
    map to guest = Bad User
    guest account = $(id -un)
    private dir = $work/private
    lock directory = $work/lock
    state directory = $work/state
    cache directory = $work/cache
    pid directory = $work/run
    ncalrpc dir = $work/run/ncalrpc
    log file = $work/smbd.log
    store dos attributes = yes
[t]
    path = $share
    read only = no
    guest ok = yes
    guest only = yes
CONF
        # A session of its own, made here (smbd would make it only as a daemon):
        # smbd signals its whole process group when it ends.
        setsid "$smbd" --foreground --no-process-group -s "$work/smb.conf" </dev/null >/dev/null 2>&1 &
        smbd_pid=$!
        for _ in $(seq 50); do
            kill -0 "$smbd_pid" 2>/dev/null || break
            client -c ls >/dev/null 2>&1 && return 0
            sleep 0.1
        done
        kill "$smbd_pid" 2>/dev/null
        wait "$smbd_pid" 2>/dev/null
        smbd_pid=""
    done
    return 1
}
start_smbd || { echo "FAIL: smbd did not start; its log:" >&2; cat "$work/smbd.log" >&2; exit 1; }

# stampwell-cli -> the client: the four attributes on a file and a folder,
# then the creation time, which a client's change keeps to the 100 ns (Samba
# reads our value and writes it back).
: >"$share/f.txt"
mkdir "$share/d"
for item in f.txt d; do
    "$cli" --set-attr archive,readonly,system,hidden "$share/$item" >/dev/null || fail "set on $item"
    expect "$item: the client sees" "$(shown_word "$item")" "$([ "$item" = d ] && echo 37 || echo 27)"
    [ "$item" = d ] && "$cli" --clear-attr readonly "$share/d" >/dev/null
    "$cli" --set "created=2001-02-03 04:05:06.1234567Z" "$share/$item" >/dev/null
    client -c "setmode \"$item\" -s" >/dev/null
    expect "$item: created after the client's change" "$(read_back "$item" created)" \
        "2001-02-03 04:05:06.123456700 +00:00"
done

# The client -> stampwell-cli: Samba's binary form is read and rewritten.
mkdir "$share/e"
: >"$share/g.txt"
for item in g.txt e; do
    client -c "setmode \"$item\" +rhs" >/dev/null
    "$cli" --set-attr archive "$share/$item" >/dev/null
    expect "$item after --set-attr archive: the client sees" "$(shown_word "$item")" \
        "$([ "$item" = e ] && echo 37 || echo 27)"
done

[ "$failures" -eq 0 ] || exit 1
echo "PASS: smbd and smbclient agree with stampwell-cli both ways"
