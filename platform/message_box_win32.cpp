// Message boxes with code page 932 texts.

#include "platform/win32_message_box.hpp"

#include "platform/win32_text.hpp"

namespace platform {

int show_message_box(HWND owner, const std::string& text, const std::string& caption, unsigned flags) {
    return MessageBoxW(owner, to_wide(text).c_str(), to_wide(caption).c_str(), flags);
}

}  // namespace platform
