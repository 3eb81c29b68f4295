// win32_setup_pages: the end pages, run modally.

#include "setup/setup_complete_dialog.hpp"
#include "setup/setup_failed_dialog.hpp"
#include "setup/win32_setup_pages.hpp"

namespace setup {

void win32_setup_pages::show_failure_page() {
    setup_failed_dialog page(parent_);
    page.run_modal();
}

void win32_setup_pages::show_completion_page(bool restart) {
    setup_complete_dialog page(parent_);
    page.restart = restart;
    page.run_modal();
}

}  // namespace setup
