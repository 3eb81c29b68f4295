// qlun_view: background painting and the start of the removal.

#include "uninstall/qlun_view.hpp"

#include <vector>

#include "uninstall/uninstall_app.hpp"

namespace uninstall {
namespace {

/// A palette of count entries; entry i has red, green and blue i * step.
HPALETTE make_grey_palette(int count, int step) {
    std::vector<unsigned char> storage(sizeof(LOGPALETTE) +
                                       sizeof(PALETTEENTRY) * static_cast<std::size_t>(count));
    auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(count);
    for (int i = 0; i < count; ++i) {
        const auto level = static_cast<BYTE>(i * step);
        palette->palPalEntry[i] = PALETTEENTRY{level, level, level, 0};
    }
    return CreatePalette(palette);
}

constexpr wchar_t banner_font[] = L"Times New Roman";
constexpr const wchar_t* banner_lines[] = {L"qlun Uninstaller", L"Version 1.0"};

}  // namespace

qlun_view::~qlun_view() {
    remover_.reset();
    if (grey_palette_) DeleteObject(grey_palette_);
    if (text_palette_) DeleteObject(text_palette_);
}

bool qlun_view::on_create(const CREATESTRUCTW&) {
    grey_palette_ = make_grey_palette(256, 1);
    HDC dc = GetDC(handle());
    if ((GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0) text_palette_ = make_grey_palette(32, 8);
    HPALETTE old = SelectPalette(dc, grey_palette_, TRUE);
    RealizePalette(dc);
    paint_background(dc);
    SelectPalette(dc, old, TRUE);
    ReleaseDC(handle(), dc);
    return true;
}

void qlun_view::start_removal(const std::string& project_path) {
    if (!remover_) {
        remover_ = std::make_unique<remove_dialog>(handle(), app_.system(), app_.screen(), app_.project(),
                                                   project_path,
                                                   [this] { app_.end_run(uninstall_app::exit_removed); });
        if (!remover_->create_modeless()) {
            remover_.reset();
            app_.end_run(uninstall_app::exit_not_removed);
            return;
        }
    }
    remover_->place_dialog();
    remover_->begin_removal();
}

bool qlun_view::on_erase_background(HDC) { return true; }

void qlun_view::on_paint(HDC dc, const PAINTSTRUCT&) {
    HPALETTE old_palette = SelectPalette(dc, grey_palette_, TRUE);
    RealizePalette(dc);
    paint_background(dc);
    paint_banner(dc);
    SelectPalette(dc, old_palette, TRUE);
}

void qlun_view::paint_background(HDC dc) {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const int height = area.bottom;
    if (height <= 0) return;
    for (int y = 0; y < height; ++y) {
        const auto blue = static_cast<BYTE>(256 * (height - y) / height);
        HPEN pen = CreatePen(PS_INSIDEFRAME, 5, PALETTERGB(0, 0, blue));
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, area.right, y);
        SelectObject(dc, old);
        DeleteObject(pen);
    }
}

void qlun_view::paint_banner(HDC dc) {
    LOGFONTW look{};
    look.lfHeight = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
    look.lfWeight = FW_BOLD;
    look.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(look.lfFaceName, banner_font, LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&look);
    HGDIOBJ old_font = SelectObject(dc, font);
    HPALETTE old_palette = nullptr;
    if (text_palette_) {
        old_palette = SelectPalette(dc, text_palette_, FALSE);
        RealizePalette(dc);
    }
    SetBkMode(dc, TRANSPARENT);
    int top = 20;
    for (const wchar_t* line : banner_lines) {
        const int length = lstrlenW(line);
        SetTextColor(dc, RGB(0x80, 0x80, 0x80));
        TextOutW(dc, 26, top, line, length);
        SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
        TextOutW(dc, 20, top - 6, line, length);
        top += 20;
    }
    if (old_palette) SelectPalette(dc, old_palette, FALSE);
    SelectObject(dc, old_font);
    DeleteObject(font);
}

}  // namespace uninstall
