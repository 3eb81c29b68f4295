// The completion page's texts with and without a restart.

#include "setup/completion_texts.hpp"

#include <gtest/gtest.h>

namespace {

TEST(completion_texts, restart_names_the_restart_on_message_and_button) {
    const auto texts = setup::completion_page_texts(true);
    EXPECT_EQ(texts.message, "セットアップされたアプリケーションを実行する前に\nWindowsを一旦再起動します。");
    EXPECT_EQ(texts.ok_button, "再起動");
}

TEST(completion_texts, without_restart_points_to_start_menu) {
    const auto texts = setup::completion_page_texts(false);
    EXPECT_EQ(texts.message, "スタートメニューからアイコンを選択することで\nアプリケーションを実行することができます。");
    EXPECT_EQ(texts.ok_button, "OK");
}

}  // namespace
