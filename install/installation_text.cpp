#include "install/installation_text.hpp"

namespace install {

bool is_lead_byte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

namespace {

// Visits the start of every character; f returns false to stop.
template <class F>
void for_each_character(std::string_view text, F&& f) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!f(i)) return;
        if (is_lead_byte(text[i]) && i + 1 < text.size()) ++i;
    }
}

}  // namespace

std::size_t first_backslash(std::string_view text, std::size_t from) {
    std::size_t found = std::string_view::npos;
    for_each_character(text, [&](std::size_t i) {
        if (i >= from && text[i] == '\\') {
            found = i;
            return false;
        }
        return true;
    });
    return found;
}

std::size_t last_backslash(std::string_view text) {
    std::size_t found = std::string_view::npos;
    for_each_character(text, [&](std::size_t i) {
        if (text[i] == '\\') found = i;
        return true;
    });
    return found;
}

bool ends_with_backslash(std::string_view text) {
    return !text.empty() && last_backslash(text) == text.size() - 1;
}

}  // namespace install
