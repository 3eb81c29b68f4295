#pragma once
// The installer's end pages as the portable logic sees them. The Win32 program shows
// real modal dialogs; tests record the calls.

namespace setup {

class setup_pages {
public:
    virtual ~setup_pages() = default;
    /// Runs the failure page modally; every unsuccessful ending of the installer shows it.
    virtual void show_failure_page() = 0;
    /// Runs the completion page modally; restart selects the restart message and button.
    virtual void show_completion_page(bool restart) = 0;
};

}  // namespace setup
