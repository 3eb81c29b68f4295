#pragma once
// What the completion page says: how to start the installed application, or that
// Windows is restarted first.

#include <string>

namespace setup {

struct completion_texts {
    std::string message;    ///< the page's message (control 1000)
    std::string ok_button;  ///< the text of its OK button
};

/// The completion page's texts; restart: Windows is restarted after the page.
completion_texts completion_page_texts(bool restart);

}  // namespace setup
