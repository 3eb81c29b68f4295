#pragma once
// Windows only. The uninstaller's view: a blue background over the whole screen with a
// small banner, and the owner of the removal window.

#include <memory>
#include <string>

#include "model/project_data.hpp"
#include "platform/screen.hpp"
#include "platform/system.hpp"
#include "platform/win32_view.hpp"
#include "uninstall/remove_dialog.hpp"

namespace uninstall {

class uninstall_app;

class qlun_view : public platform::win32_view {
public:
    explicit qlun_view(uninstall_app& app) : app_(app) {}
    /// The removal window's object outlives its window, which goes with the frame.
    ~qlun_view() override;

    /// Opens the removal window (once) and starts the removal of the project at project_path.
    void start_removal(const std::string& project_path);

protected:
    bool on_create(const CREATESTRUCTW& create) override;
    bool on_erase_background(HDC dc) override;
    void on_paint(HDC dc, const PAINTSTRUCT& paint) override;

private:
    void paint_background(HDC dc);
    void paint_banner(HDC dc);

    uninstall_app& app_;
    HPALETTE grey_palette_ = nullptr;
    HPALETTE text_palette_ = nullptr;
    std::unique_ptr<remove_dialog> remover_;
};

}  // namespace uninstall
