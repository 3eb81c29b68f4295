#!/usr/bin/env bash
# The code page 932 conversions of the Windows build on the machine's own tables.
set -uo pipefail
source "$(dirname "$0")/scenario.sh"
: "${VRZ_CODEPAGE_CHECK:?codepage_check.exe path}"
wine_env_start

out=$(w "$VRZ_CODEPAGE_CHECK")
rc=$?
echo "$out" | sed 's/^/    /'
check_eq "codepage_check exit code" "$rc" 0
scenario_end
