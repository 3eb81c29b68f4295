// win32_view: the child window inside a frame.

#include "platform/win32_view.hpp"

namespace platform {

bool win32_view::create_view(HWND frame, const RECT& client) {
    window_spec spec;
    spec.class_name = L"vrz_view";
    spec.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    spec.rect = {client.left, client.top, client.right - client.left, client.bottom - client.top};
    spec.parent = frame;
    spec.child_id = view_id;
    spec.background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    return create(spec);
}

}  // namespace platform
