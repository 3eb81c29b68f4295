#!/usr/bin/env bash
# setup.exe started in a folder without "arkbs.vrz" (the file lies beside the program and
# the command line names another file): the stop message, the failure page, the end.
set -uo pipefail
source "$(dirname "$0")/scenario.sh"
: "${VRZ_SETUP:?setup.exe path}"
wine_env_start

c=$(wine_drive_c)
mkdir -p "$c/package" "$c/elsewhere"
cp "$VRZ_SETUP" "$c/package/setup.exe"
printf 'not read' >"$c/package/arkbs.vrz"
printf 'not read' >"$c/elsewhere/other.vrz"
start_program "$c/elsewhere" 'C:\package\setup.exe' other.vrz

robot wait "Setup Version 1.0" 30000 "#32770" >/dev/null || fail "message box did not appear"
shot setup_missing_project_message
check_eq "stop message" "$(robot msgbox "Setup Version 1.0" ok)" \
'icon 1088
static 65535 "Arkbs.vrz"ファイルの読み込みに失敗しました。\n\nファイルが存在しないか、壊れている可能性があります。\nファイルが壊れた場合は、ユーザーサポート係までご連絡ください。
buttons 1'

robot wait "セットアップ終了" 10000 >/dev/null || fail "failure page did not appear"
shot setup_missing_project_failure_page
check_eq "failure page" "$(robot texts "セットアップ終了")" \
'icon -1
static -1 プログラムは正常にセットアップされませんでした。\n\nご不明な点等ございましたら、お手数ですが、\nユーザーサポートまでご連絡ください。'
check_eq "failure page button" "$(robot gettext "セットアップ終了" 1)" "OK"
robot click "セットアップ終了" 1 >/dev/null

program_exit
check_eq "exit code" "$PROGRAM_RC" 1

echo "again, leaving the failure page with Esc"
start_program "$c/elsewhere" 'C:\package\setup.exe'
robot msgbox "Setup Version 1.0" ok 30000 >/dev/null || fail "message box did not appear"
robot wait "セットアップ終了" 10000 >/dev/null || fail "failure page did not appear"
robot key "セットアップ終了" esc >/dev/null
program_exit
check_eq "exit code after Esc" "$PROGRAM_RC" 1
scenario_end
