#pragma once
// The texts that the copy engine and the package preparation show to the user.

#include <string>

#include "platform/system.hpp"

namespace install {

/// The piece directory, the package directory or "arkci.vrz" cannot be read.
inline constexpr const char* package_file_failure_text =
    "セットアップファイルの読み込みに失敗しました。\n\nファイルが存在しないか、壊れている可能性があります。\n"
    "ファイルが壊れた場合は、ユーザーサポート係までご連絡ください。";

/// The joined volumes "~vrncomp.tmp" cannot be read.
inline constexpr const char* joined_volume_failure_text =
    "\"Arkbs."
    "vrz\"ファイルの読み込みに失敗しました。\n\nファイルが存在しないか、壊れている可能性があります。\n"
    "ファイルが壊れた場合は、ユーザーサポート係までご連絡ください。";

/// A packed or decoded file could not be written to the temporary folder.
inline constexpr const char* output_failure_text =
    "ファイルの出力に失敗しました。\n\nハードディスクの空き容量がないか、異常が発生した可能性があります。\n"
    "ハードディスクをチェックし、正常な状態にしてから再度セットアップを行ってください。";

/// The question of the copy window's Cancel button, with its caption and flags (Yes/No, information icon).
inline constexpr const char* cancel_question_text =
    "セットアップの中止ボタンがクリックされました。\n\n本当にセットアップを終了してもいいですか？";
inline constexpr const char* setup_caption = "セットアップ";

/// The floppy request of the preparation; %d is the disk's number.
inline constexpr const char* floppy_request_format =
    "%d枚目のフロッピーディスクをセットして下さい。\n\nセットできたらＯＫボタンをクリックして下さい。";

/// The cause of a failed file operation in the user's words.
std::string file_error_cause(platform::file_error error);

/// A copy that failed: names both files and the cause; answered with Abort, Retry or Ignore.
std::string copy_failure_text(const std::string& source, const std::string& destination,
                              platform::file_error error);

/// Setting a placed file's times failed: names the file and the cause; Abort, Retry or Ignore.
std::string time_stamp_failure_text(const std::string& path, platform::file_error error);

}  // namespace install
