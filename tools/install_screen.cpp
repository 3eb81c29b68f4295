#include "tools/install_screen.hpp"

#include <ostream>

#include "tools/package_files.hpp"

namespace tools {

terminal_screen::terminal_screen(std::ostream& out, bool ignore_errors)
    : out_(out), ignore_errors_(ignore_errors) {}

const char* answer_name(int answer) {
    switch (answer) {
        case platform::IdOk:
            return "OK";
        case platform::IdCancel:
            return "Cancel";
        case platform::IdAbort:
            return "Abort";
        case platform::IdRetry:
            return "Retry";
        case platform::IdIgnore:
            return "Ignore";
        case platform::IdYes:
            return "Yes";
        case platform::IdNo:
            return "No";
    }
    return "?";
}

int terminal_screen::message_box(const std::string& text, const std::string& caption, unsigned flags) {
    if (before_message) before_message();
    if ((flags & 0xF0) == platform::MbIconStop) ++stop_messages_;
    std::string shown = display_text(text);
    // Continuation lines are indented; empty ones stay empty.
    for (std::size_t at = shown.find('\n'); at != std::string::npos; at = shown.find('\n', at + 1)) {
        if (at + 1 < shown.size() && shown[at + 1] != '\n') shown.insert(at + 1, "  ");
    }
    out_ << "[" << display_text(caption) << "] " << shown << "\n";

    int answer = platform::IdOk;
    switch (flags & 0x0F) {
        case platform::MbOk:
            return platform::IdOk;
        case platform::MbOkCancel:
            answer = platform::IdCancel;
            break;
        case platform::MbAbortRetryIgnore:
            answer = ignore_errors_ ? platform::IdIgnore : platform::IdAbort;
            break;
        case platform::MbYesNoCancel:
        case platform::MbYesNo:
            answer = platform::IdYes;
            break;
        case platform::MbRetryCancel:
            answer = platform::IdCancel;
            break;
        default:
            break;
    }
    out_ << "  -> " << answer_name(answer) << "\n";
    return answer;
}

}  // namespace tools
