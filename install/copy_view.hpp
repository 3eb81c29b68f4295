#pragma once
// What the copy engine asks of its window: the copy dialog on Windows, a recorder in tests.

#include <string>

namespace install {

class copy_view {
public:
    virtual ~copy_view() = default;
    /// Moves the progress bar (control 1011, range 0 to 100).
    virtual void set_progress(int position) = 0;
    /// Shows the path of the file being placed (static text 1012).
    virtual void show_destination(const std::string& path) = 0;
    /// Shows the failure page modally. The owner closes the main window afterwards.
    virtual void show_failure_page() = 0;
};

}  // namespace install
