#include "install/file_copy_messages.hpp"

namespace install {

namespace {

// How the three buttons of the failure questions act.
constexpr const char* abort_retry_ignore_help =
    "\n\n[中止] セットアップを終了します。\n[再試行] もう一度試します。\n[無視] "
    "このファイルを飛ばして続行します。";

}  // namespace

std::string file_error_cause(platform::file_error error) {
    switch (error) {
        case platform::file_error::None:
            return "原因は不明です。";
        case platform::file_error::NotFound:
            return "ファイルが見つかりません。";
        case platform::file_error::PathNotFound:
            return "フォルダが見つかりません。";
        case platform::file_error::AccessDenied:
            return "アクセスが拒否されました。読み取り専用のファイルか、書き込みが許可されていない場所です。";
        case platform::file_error::SharingViolation:
            return "ファイルが他のプログラムで使用中です。";
        case platform::file_error::DiskFull:
            return "ディスクの空き容量が足りません。";
        case platform::file_error::Other:
            break;
    }
    return "不明なエラーが発生しました。";
}

std::string copy_failure_text(const std::string& source, const std::string& destination,
                              platform::file_error error) {
    return "ファイルのコピーに失敗しました。\n\nコピー先: " + destination + "\nコピー元: " + source +
           "\n原因: " + file_error_cause(error) + abort_retry_ignore_help;
}

std::string time_stamp_failure_text(const std::string& path, platform::file_error error) {
    return "ファイルの日付の設定に失敗しました。\n\nファイル: " + path +
           "\n原因: " + file_error_cause(error) +
           "\n\n[中止] セットアップを終了します。\n[再試行] もう一度試します。\n[無視] "
           "日付を設定せずに続行します。";
}

}  // namespace install
