#include "package/file_names.hpp"

#include "package/table_record.hpp"

namespace package {

namespace {

bool is_lead_byte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

}  // namespace

bool is_plain_file_name(std::string_view name) {
    if (name.find_first_not_of(". ") == std::string_view::npos) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (is_lead_byte(c) && i + 1 < name.size()) {
            ++i;
            continue;
        }
        if (c == '\\' || c == '/' || c == ':' || c < 0x20) return false;
    }
    return true;
}

bool is_reserved_temp_name(std::string_view name) {
    for (std::string_view reserved : {"ark.vrz", "~vrncomp.tmp", "arkmtx.vrz", "arkbs.vrz", "qlun.exe"}) {
        if (same_file_name(name, reserved)) return true;
    }
    return false;
}

bool same_file_name(std::string_view a, std::string_view b) { return compare_entry_names(a, b) == 0; }

}  // namespace package
