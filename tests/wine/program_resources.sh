#!/usr/bin/env bash
# The resources of setup.exe and qlun.exe as Windows reads them: document strings, the
# application titles and the dialog templates, text for text.
set -uo pipefail
source "$(dirname "$0")/scenario.sh"
: "${VRZ_SETUP:?setup.exe path}" "${VRZ_QLUN:?qlun.exe path}"
wine_env_start

c=$(wine_drive_c)
cp "$VRZ_SETUP" "$c/setup.exe"
cp "$VRZ_QLUN" "$c/qlun.exe"

check_eq "setup document string" "$(robot string 'C:\setup.exe' 128)" \
    'Setup Version1.0\n\nSetup\nSetup File(*.inf)\n.inf\n\n'
check_eq "setup application title" "$(robot string 'C:\setup.exe' 57344)" 'Setup Version 1.0'
check_eq "qlun document string" "$(robot string 'C:\qlun.exe' 128)" \
    'qlun\n\nQlun\n\n\nQlun.Document\nQlun Document'
check_eq "qlun application title" "$(robot string 'C:\qlun.exe' 57344)" 'qlun'

check_eq "failure page template" "$(robot template 'C:\setup.exe' 133)" \
'caption セットアップ終了
Static -1 visible (picture)
Static -1 visible プログラムは正常にセットアップされませんでした。\n\nご不明な点等ございましたら、お手数ですが、\nユーザーサポートまでご連絡ください。
Button 1 visible OK'
check_eq "completion page template" "$(robot template 'C:\setup.exe' 139)" \
'caption セットアップ完了
Static -1 visible (picture)
Static -1 visible セットアップは正常に終了しました。
Static 1000 visible 
Button 1 visible OK'
check_eq "removal window template" "$(robot template 'C:\qlun.exe' 102)" \
'caption Uninstall
Button -1 visible 
Static 1000 visible 
msctls_progress32 1001 visible Progress1
Static -1 visible アンインストール状況'
scenario_end
