#!/usr/bin/env bash
# setup.exe with a malformed "arkbs.vrz": the framework's load message, then the end,
# without the failure page.
set -uo pipefail
source "$(dirname "$0")/scenario.sh"
: "${VRZ_SETUP:?setup.exe path}"
wine_env_start

c=$(wine_drive_c)
mkdir -p "$c/package"
cp "$VRZ_SETUP" "$c/package/setup.exe"
# The first text claims 16 bytes; the file ends after 3.
printf '\x10abc' >"$c/package/arkbs.vrz"
start_program "$c/package" 'C:\package\setup.exe'

robot wait "Setup Version 1.0" 30000 "#32770" >/dev/null || fail "message box did not appear"
shot setup_malformed_project_message
check_eq "load message" "$(robot msgbox "Setup Version 1.0" ok)" \
'icon 1088
static 65535 予期しないﾌｧｲﾙ形式です。
buttons 1'

# The program ends by itself: a failure page would keep it running until the timeout.
program_exit
check_eq "exit code" "$PROGRAM_RC" 1
scenario_end
