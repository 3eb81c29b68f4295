#pragma once
// What the portable logic asks of the screen: message boxes and the wait cursor.
// The Win32 programs answer with real windows; tests answer from a script.

#include <string>

namespace platform {

/// Message box flags, with the values of the Win32 MB_ constants.
enum message_flags : unsigned {
    MbOk = 0x00,
    MbOkCancel = 0x01,
    MbAbortRetryIgnore = 0x02,
    MbYesNoCancel = 0x03,
    MbYesNo = 0x04,
    MbRetryCancel = 0x05,
    MbIconStop = 0x10,
    MbIconQuestion = 0x20,
    MbIconExclamation = 0x30,
    MbIconInformation = 0x40,
    MbDefButton2 = 0x100,
};

/// Message box answers, with the values of the Win32 ID constants.
enum message_answer : int {
    IdOk = 1,
    IdCancel = 2,
    IdAbort = 3,
    IdRetry = 4,
    IdIgnore = 5,
    IdYes = 6,
    IdNo = 7,
};

class screen {
public:
    virtual ~screen() = default;
    /// Shows a modal message box (texts in code page 932) and returns the button pressed.
    virtual int message_box(const std::string& text, const std::string& caption, unsigned flags) = 0;
    /// Shows or ends the wait cursor.
    virtual void set_wait_cursor(bool on) = 0;
};

}  // namespace platform
