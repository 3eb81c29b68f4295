#!/usr/bin/env bash
# setup.exe with a readable project: no message, the start-up runs through and the
# program ends normally.
set -uo pipefail
source "$(dirname "$0")/scenario.sh"
: "${VRZ_SETUP:?setup.exe path}"
wine_env_start

c=$(wine_drive_c)
mkdir -p "$c/package"
cp "$VRZ_SETUP" "$c/package/setup.exe"
cp "$(dirname "$0")/../data/setup/titled_project.vrz" "$c/package/arkbs.vrz"
start_program "$c/package" 'C:\package\setup.exe'

program_exit
check_eq "exit code" "$PROGRAM_RC" 0
check_eq "no window left" "$(robot list | grep -c -e 'title=Setup Version 1.0' -e 'title=セットアップ終了')" 0
scenario_end
