#pragma once
// The screen of vrz install and vrz uninstall: message boxes become lines on a terminal
// (UTF-8) and questions are answered without asking, by fixed rules.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/screen.hpp"

namespace tools {

class terminal_screen : public platform::screen {
public:
    /// ignore_errors: a failed file operation (Abort, Retry, Ignore) is skipped instead of
    /// stopping the run.
    terminal_screen(std::ostream& out, bool ignore_errors = false);

    /// Prints the message and returns the answer of the rules: OK for a notice; Abort (or
    /// Ignore) for a failed file; Cancel for a request to insert a disk; Yes to a question
    /// whether to stop.
    int message_box(const std::string& text, const std::string& caption, unsigned flags) override;
    void set_wait_cursor(bool) override {}

    /// Number of messages shown with the stop icon.
    int stop_messages() const { return stop_messages_; }

    /// Called before each message is printed (to end a progress bar's line).
    std::function<void()> before_message;

private:
    std::ostream& out_;
    bool ignore_errors_;
    int stop_messages_ = 0;
};

/// The answer of a message box in words, such as "Abort".
const char* answer_name(int answer);

}  // namespace tools
