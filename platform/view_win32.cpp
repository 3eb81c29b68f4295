// win32_view: the child window inside a frame.

#include "platform/win32_view.hpp"

namespace platform {

bool win32_view::create_view(HWND frame, const RECT& client) {
    window_spec desc;
    desc.class_name = L"vrz_view";
    desc.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    desc.rect = {client.left, client.top, client.right - client.left, client.bottom - client.top};
    desc.parent = frame;
    desc.child_id = view_id;
    desc.background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    return create(desc);
}

}  // namespace platform
