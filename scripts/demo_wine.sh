#!/usr/bin/env bash
# Runs the real setup.exe under Wine in a copy of a package folder and reports how it ended.
# Usage: demo_wine.sh PACKAGE_DIR SETUP_EXE
# The installer's start-up loads the package's project; the wizard and the copy window
# follow in later versions, so today the run ends after the start-up.
set -uo pipefail
package=$1
setup=$2
source "$(dirname "$0")/wine_env.sh"
wine_env_start
c=$(wine_drive_c)
mkdir -p "$c/demo"
cp "$package"/* "$c/demo/"
cp "$setup" "$c/demo/setup.exe"
rc=0
(cd "$c/demo" && w 'C:\demo\setup.exe') || rc=$?
echo "setup.exe ended with exit code $rc"
[ "$rc" = 0 ]
