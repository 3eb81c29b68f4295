#!/usr/bin/env bash
# A private Wine machine for one test: a fresh Japanese prefix in a temporary folder, a
# private HOME, an Xvfb display with a Wine virtual desktop, and a warm wineserver.
# Source it, then call wine_env_start; everything is torn down when the shell exits.
#
#   wine_env_start            build the machine (about 10 s); sets WINE_WORK, WINEPREFIX, DISPLAY
#   w ARGS...                 wine ARGS, bounded by WINE_CALL_TIMEOUT seconds (default 60)
#   wine_shot FILE            screenshot of the whole display (PNG)
#   wine_drive_c              prints the Linux path of C:\
#
# Environment: WINE_KEEP=1 keeps the temporary folder afterwards (its path is printed);
# WINE_ENV_LIMIT (seconds, default 240) ends the whole script, cleanly, when it runs longer.

WINE_CALL_TIMEOUT=${WINE_CALL_TIMEOUT:-60}
WINE_ENV_LIMIT=${WINE_ENV_LIMIT:-240}
WINE_XVFB_PID=
WINE_WATCHDOG_PID=

_wine_env_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

w() {
    timeout -k 5 "$WINE_CALL_TIMEOUT" wine "$@"
}

wine_drive_c() {
    echo "$WINEPREFIX/drive_c"
}

wine_shot() {
    timeout -k 5 30 import -display "$DISPLAY" -window root "$1" >/dev/null 2>&1
}

wine_env_stop() {
    local status=$?
    if [ -n "$WINE_WATCHDOG_PID" ]; then
        kill "$WINE_WATCHDOG_PID" 2>/dev/null
        wait "$WINE_WATCHDOG_PID" 2>/dev/null
    fi
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        wineserver -k >/dev/null 2>&1
        timeout 20 wineserver -w >/dev/null 2>&1
    fi
    if [ -n "$WINE_XVFB_PID" ]; then
        kill "$WINE_XVFB_PID" 2>/dev/null
        wait "$WINE_XVFB_PID" 2>/dev/null
    fi
    if [ -n "${WINE_WORK:-}" ]; then
        if [ "${WINE_KEEP:-0}" = 1 ]; then
            echo "wine_env: kept $WINE_WORK" >&2
        else
            rm -rf "$WINE_WORK"
        fi
    fi
    return $status
}

_wine_env_fail() {
    echo "wine_env: $*" >&2
    exit 1
}

# The registry settings of the test machine: a virtual desktop (Xvfb has no window
# manager, so Wine draws the title bars itself) and the Japanese UI fonts mapped to IPA fonts.
_wine_env_registry() {
    cat <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"MS UI Gothic"="IPAPGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"ＭＳ 明朝"="IPAMincho"
"ＭＳ Ｐ明朝"="IPAPMincho"
REG
}

wine_env_start() {
    command -v wine >/dev/null || _wine_env_fail "wine is not installed"
    command -v Xvfb >/dev/null || _wine_env_fail "Xvfb is not installed"
    locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' || _wine_env_fail "locale ja_JP.UTF-8 is missing"

    WINE_WORK=$(mktemp -d "${TMPDIR:-/tmp}/vrz-wine.XXXXXX") || _wine_env_fail "no temporary folder"
    trap wine_env_stop EXIT
    trap 'echo "wine_env: stopped" >&2; exit 130' INT TERM
    # A hung step must not outlive the test runner's own limit, which would skip the clean-up.
    (sleep "$WINE_ENV_LIMIT" && echo "wine_env: over ${WINE_ENV_LIMIT}s" >&2 && kill -TERM $$) \
        </dev/null >/dev/null 2>&1 &
    WINE_WATCHDOG_PID=$!
    mkdir -p "$WINE_WORK/home"

    # Japanese locale before the prefix exists: the prefix then keeps SHIFTJIS fonts for
    # message boxes and captions, and GetACP() is 932.
    export LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8
    export HOME=$WINE_WORK/home
    export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
    export WINEPREFIX=$WINE_WORK/prefix WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    unset DISPLAY WAYLAND_DISPLAY

    timeout -k 5 180 wineboot -i >/dev/null 2>&1 || _wine_env_fail "wineboot failed"
    timeout 120 wineserver -w || _wine_env_fail "wineserver did not settle after wineboot"

    { printf '\xff\xfe'; _wine_env_registry | iconv -f UTF-8 -t UTF-16LE; } >"$WINE_WORK/settings.reg"
    w regedit /S "$WINE_WORK/settings.reg" >/dev/null 2>&1 || _wine_env_fail "regedit failed"

    # Xvfb picks a free display and writes its number to the descriptor; it keeps none of
    # the caller's descriptors, so a piped log does not wait for it.
    exec {display_fd}>"$WINE_WORK/display"
    Xvfb -displayfd "$display_fd" -screen 0 1024x768x24 -nolisten tcp \
        </dev/null >"$WINE_WORK/xvfb.log" 2>&1 &
    WINE_XVFB_PID=$!
    exec {display_fd}>&-
    local i
    for i in $(seq 100); do
        [ -s "$WINE_WORK/display" ] && break
        sleep 0.1
    done
    [ -s "$WINE_WORK/display" ] || _wine_env_fail "Xvfb did not start"
    export DISPLAY=:$(head -n1 "$WINE_WORK/display")

    # A persistent wineserver makes each later wine call cheap.
    wineserver -p </dev/null >/dev/null 2>&1
}
