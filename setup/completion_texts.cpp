// The completion page's texts.

#include "setup/completion_texts.hpp"

namespace setup {

completion_texts completion_page_texts(bool restart) {
    if (restart) {
        return {"セットアップされたアプリケーションを実行する前に\nWindowsを一旦再起動します。", "再起動"};
    }
    return {"スタートメニューからアイコンを選択することで\nアプリケーションを実行することができます。", "OK"};
}

}  // namespace setup
