#include "uninstall/command_line.hpp"

#include <cctype>

namespace uninstall {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view drop_leading_blanks(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    return text;
}

char lower_ascii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Where an unquoted program name ends: after the first ".exe" that a blank or the end
// follows. A period is never a trail byte of code page 932, so the search is safe.
std::size_t unquoted_program_end(std::string_view text) {
    constexpr std::string_view suffix = ".exe";
    for (std::size_t i = 0; i + suffix.size() <= text.size(); ++i) {
        bool match = true;
        for (std::size_t j = 0; j < suffix.size() && match; ++j)
            match = lower_ascii(text[i + j]) == suffix[j];
        const std::size_t end = i + suffix.size();
        if (match && (end == text.size() || is_blank(text[end]))) return end;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (is_blank(text[i])) return i;
    }
    return text.size();
}

}  // namespace

std::string project_path_from_command_line(std::string_view command_line) {
    std::string_view text = drop_leading_blanks(command_line);
    std::size_t program_end = 0;
    if (!text.empty() && text.front() == '"') {
        const auto close = text.find('"', 1);
        program_end = close == std::string_view::npos ? text.size() : close + 1;
    } else {
        program_end = unquoted_program_end(text);
    }
    std::string_view rest = drop_leading_blanks(text.substr(program_end));
    if (!rest.empty() && rest.front() == '"') {
        const auto close = rest.find('"', 1);
        if (close != std::string_view::npos && drop_leading_blanks(rest.substr(close + 1)).empty()) {
            return std::string(rest.substr(1, close - 1));
        }
    }
    return std::string(rest);
}

}  // namespace uninstall
