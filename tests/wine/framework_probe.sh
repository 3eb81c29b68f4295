#!/usr/bin/env bash
# The window framework in a running program: frame and view, a modeless window stepped by
# its timer, message boxes from inside a timer step, a modal page, keyboard handling of
# the modeless window through the message loop, and the exit code of each ending.
set -uo pipefail
source "$(dirname "$0")/scenario.sh"
: "${VRZ_PROBE:?framework_probe.exe path}"
wine_env_start

c=$(wine_drive_c)
cp "$VRZ_PROBE" "$c/probe.exe"
progress="進行 テスト"

echo "run 1: all steps, then the summary page"
start_program "$c" 'C:\probe.exe'
robot wait "フレーム テスト" 30000 >/dev/null || fail "frame did not appear"
robot wait "$progress" 10000 >/dev/null || fail "modeless window did not appear"
shot framework_probe_progress
check_eq "question after ten steps" "$(robot msgbox "確認" yes)" \
'icon 1088
static 65535 10 ステップが終わりました。\n結果を表示しますか？
buttons 6 7'
check_eq "summary page" "$(robot texts "結果")" 'static 1000 ソフト表示 10 ステップ'
check_eq "last step shown" "$(robot gettext "$progress" 1000)" 'ステップ 10'
robot click "結果" 1 >/dev/null
program_exit
check_eq "exit code after the summary" "$PROGRAM_RC" 0

echo "run 2: Cancel button, No (the steps go on), then decline the summary"
start_program "$c" 'C:\probe.exe'
robot wait "$progress" 30000 >/dev/null || fail "modeless window did not appear"
robot click "$progress" 2 >/dev/null
check_eq "stop question" "$(robot msgbox "確認" no)" \
'icon 1088
static 65535 中止しますか？
buttons 6 7'
check_eq "question after the steps went on" "$(robot msgbox "確認" no | sed -n 2p)" \
'static 65535 10 ステップが終わりました。\n結果を表示しますか？'
program_exit
check_eq "exit code after declining" "$PROGRAM_RC" 2

echo "run 3: Esc in the modeless window, Yes"
start_program "$c" 'C:\probe.exe'
robot wait "$progress" 30000 >/dev/null || fail "modeless window did not appear"
robot key "$progress" esc >/dev/null
check_eq "stop question after Esc" "$(robot msgbox "確認" yes | sed -n 2p)" 'static 65535 中止しますか？'
program_exit
check_eq "exit code after stopping" "$PROGRAM_RC" 3
scenario_end
