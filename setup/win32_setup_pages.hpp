#pragma once
// Windows only. The end pages as real modal dialogs.

#include <windows.h>

#include "setup/setup_pages.hpp"

namespace setup {

class win32_setup_pages : public setup_pages {
public:
    /// parent: the owner of the pages; null for the desktop.
    explicit win32_setup_pages(HWND parent = nullptr) : parent_(parent) {}
    void set_parent(HWND parent) { parent_ = parent; }

    void show_failure_page() override;
    void show_completion_page(bool restart) override;

private:
    HWND parent_;
};

}  // namespace setup
