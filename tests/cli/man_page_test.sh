#!/usr/bin/env bash
# The manual page names exactly the options that stampwell-cli --help names.
# Usage: man_page_test.sh STAMPWELL_CLI MAN_PAGE
set -euo pipefail
cli=$1
page=$2

# "  -r,--recursive   include ..." and "--touch TEXT:{...}": the names before the first blank.
help=$("$cli" --help | sed -n 's/^  \(-[^ ]*\).*/\1/p' | tr ',' '\n' | sort)
# In the OPTIONS section, the line after each .TP, with the escapes taken out.
page_options=$(sed -n '/^\.SH OPTIONS/,/^\.SH /p' "$page" | sed -n '/^\.TP/{n;p}' |
    sed 's/\\-/-/g; s/\\f[BIRP]//g; s/ .*//' | tr ',' '\n' | sort)

[ "$(wc -l <<<"$help")" -ge 15 ] || { echo "FAIL: too few options in --help: $help"; exit 1; }
if [ "$help" != "$page_options" ]; then
    echo "FAIL: the manual page and --help name different options"
    diff <(echo "$help") <(echo "$page_options")
    exit 1
fi
echo "ok: $(wc -l <<<"$help") options in both"
