#!/usr/bin/env bash
# Helpers of the Wine scenarios; sourced after scripts/wine_env.sh's variables are known.
# The programs come from the environment that CTest sets: VRZ_SETUP, VRZ_QLUN, VRZ_ROBOT,
# and VRZ_SHOTS, the folder for screenshots.

source "$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/wine_env.sh"

: "${VRZ_ROBOT:?robot.exe path}"
VRZ_SHOTS=${VRZ_SHOTS:-$PWD}
mkdir -p "$VRZ_SHOTS"

SCENARIO_FAILURES=0
PROGRAM_PID=

SCENARIO_NAME=$(basename "$0" .sh)

pass() { echo "  ok   $*"; }

# fail WHAT: counts the failure and shows what was on the screen at that moment.
fail() {
    echo "  FAIL $*"
    SCENARIO_FAILURES=$((SCENARIO_FAILURES + 1))
    if [ -n "${DISPLAY:-}" ]; then
        echo "       windows on the screen:"
        w "$VRZ_ROBOT" list 2>&1 | sed 's/^/         /'
        local name="${SCENARIO_NAME}_failure_${SCENARIO_FAILURES}"
        wine_shot "$VRZ_SHOTS/$name.png" && echo "       screenshot $VRZ_SHOTS/$name.png"
    fi
}

# check_eq WHAT GOT WANT
check_eq() {
    if [ "$2" = "$3" ]; then
        pass "$1"
    else
        echo "  got:  $(printf '%s' "$2" | sed '2,$s/^/        /')"
        echo "  want: $(printf '%s' "$3" | sed '2,$s/^/        /')"
        fail "$1"
    fi
}

robot() { w "$VRZ_ROBOT" "$@"; }

# start_program DIR EXE ARGS...: runs a program in the background with DIR as its current folder.
start_program() {
    local dir=$1
    shift
    (cd "$dir" && exec timeout -k 5 "$WINE_CALL_TIMEOUT" wine "$@") &
    PROGRAM_PID=$!
}

# program_exit: waits for the program started last; sets PROGRAM_RC to its exit code
# (124: it hung and was killed).
program_exit() {
    PROGRAM_RC=0
    wait "$PROGRAM_PID" || PROGRAM_RC=$?
    PROGRAM_PID=
}

# shot NAME: screenshot into the shots folder once the screen has settled.
shot() {
    sleep 0.5
    wine_shot "$VRZ_SHOTS/$1.png" && echo "  screenshot $VRZ_SHOTS/$1.png"
}

scenario_end() {
    if [ "$SCENARIO_FAILURES" -ne 0 ]; then
        echo "$SCENARIO_FAILURES check(s) failed"
        exit 1
    fi
    echo "all checks passed"
    exit 0
}
