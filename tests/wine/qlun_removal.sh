#!/usr/bin/env bash
# qlun.exe from start to end: no project, a malformed project, Cancel at the question, and
# a removal that runs through and deletes the project file.
set -uo pipefail
source "$(dirname "$0")/scenario.sh"
: "${VRZ_QLUN:?qlun.exe path}"
wine_env_start

c=$(wine_drive_c)
app="$c/Program Files/Sample App"
mkdir -p "$app"
cp "$VRZ_QLUN" "$app/qlun.exe"
qlun='C:\Program Files\Sample App\qlun.exe'
project='C:\Program Files\Sample App\arkbs.vrz'

echo "run 1: no command line"
start_program "$c" "$qlun"
check_eq "already removed" "$(robot msgbox "Uninstall" ok 30000)" \
'icon 1088
static 65535 このアプリケーションは既に削除されています。
buttons 1'
program_exit
check_eq "exit code without a project" "$PROGRAM_RC" 1

echo "run 2: a malformed project"
printf '\x10abc' >"$app/arkbs.vrz"
start_program "$c" "$qlun" "$project"
check_eq "load message" "$(robot msgbox "qlun" ok 30000)" \
'icon 1088
static 65535 予期しないﾌｧｲﾙ形式です。
buttons 1'
program_exit
check_eq "exit code with a malformed project" "$PROGRAM_RC" 1

echo "run 3: Cancel at the question"
cp "$(dirname "$0")/../data/setup/titled_project.vrz" "$app/arkbs.vrz"
start_program "$c" "$qlun" "$project"
check_eq "question" "$(robot msgbox "Uninstall" cancel 30000)" \
'icon 1088
static 65535 サンプル ソフト をハードディスクから削除します。\nよろしいですか？
buttons 1 2'
program_exit
check_eq "exit code after Cancel" "$PROGRAM_RC" 1
[ -f "$app/arkbs.vrz" ] && pass "project file kept after Cancel" || fail "project file gone after Cancel"

echo "run 4: OK, the removal runs"
start_program "$c" "$qlun" "$project"
robot msgbox "Uninstall" ok 30000 >/dev/null || fail "no question"
check_eq "main window over the work area" "$(robot rect "Uninstall" 10000 vrz_frame)" "0 0 1024 768"
robot wait "Uninstall" 10000 "#32770" >/dev/null
shot qlun_removal
check_eq "completion message" "$(robot msgbox "Uninstall" ok | sed -n 2,3p)" \
'static 65535 サンプル ソフト はハードディスクから削除されました。
buttons 1'
program_exit
check_eq "exit code after the removal" "$PROGRAM_RC" 0
[ ! -e "$app/arkbs.vrz" ] && pass "project file deleted" || fail "project file still there"
scenario_end
