#include "tools/project_json.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <map>
#include <set>
#include <type_traits>
#include <typeinfo>
#include <unordered_map>
#include <vector>

#include "model/archive_reader.hpp"
#include "model/package_directory.hpp"
#include "platform/codepage.hpp"

namespace tools {

namespace {

using model::record;

// Field lists in stored order, one per record class: visit(o, v) calls v(name, member).
// They serve both directions, so that a field order is written once here.
template <class T>
struct fields;

template <>
struct fields<model::proj_app_name> {
    template <class Self, class V>
    static void visit(Self& o, V&& v) {
        v("app_name", o.app_name);
        v("app_extra", o.app_extra);
    }
};

template <>
struct fields<model::proj_kind_setup> {
    template <class Self, class V>
    static void visit(Self&, V&&) {}
};

template <>
struct fields<model::proj_dsp_mainfrm> {
    template <class Self, class V>
    static void visit(Self& o, V&& v) {
        v("dsp_value", o.dsp_value);
        v("dsp_flag", o.dsp_flag);
        v("frame_title", o.frame_title);
        v("back_style", o.back_style);
        v("dsp_text", o.dsp_text);
        v("banner_text", o.banner_text);
        v("banner_font", o.banner_font);
        v("banner_size", o.banner_size);
        v("banner_bold", o.banner_bold);
        v("banner_italic", o.banner_italic);
        v("banner_color", o.banner_color);
        v("banner_shadow", o.banner_shadow);
        v("shadow_color", o.shadow_color);
        v("banner_underline", o.banner_underline);
        v("banner_strikeout", o.banner_strikeout);
    }
};

template <>
struct fields<model::proj_act_info> {
    template <class Self, class V>
    static void visit(Self& o, V&& v) {
        v("act_value_1", o.act_value_1);
        v("show_notice_page", o.show_notice_page);
        v("show_licence_page", o.show_licence_page);
        v("show_readme_page", o.show_readme_page);
        v("show_user_page", o.show_user_page);
        v("show_method_page", o.show_method_page);
        v("act_value_7", o.act_value_7);
        v("show_dest_page", o.show_dest_page);
        v("show_copy_confirm", o.show_copy_confirm);
        v("act_value_10", o.act_value_10);
        v("restart_windows", o.restart_windows);
        v("register_uninstall", o.register_uninstall);
        v("act_value_13", o.act_value_13);
        v("act_value_14", o.act_value_14);
        v("act_value_15", o.act_value_15);
        v("act_value_16", o.act_value_16);
        v("act_value_17", o.act_value_17);
        v("act_value_18", o.act_value_18);
        v("act_value_19", o.act_value_19);
        v("act_value_20", o.act_value_20);
        v("act_value_21", o.act_value_21);
        v("act_value_22", o.act_value_22);
        v("act_value_23", o.act_value_23);
        v("notice_caption", o.notice_caption);
        v("notice_lower_text", o.notice_lower_text);
        v("notice_upper_text", o.notice_upper_text);
        v("licence_caption", o.licence_caption);
        v("licence_text", o.licence_text);
        v("act_text_6", o.act_text_6);
        v("readme_caption", o.readme_caption);
        v("readme_text", o.readme_text);
        v("act_text_9", o.act_text_9);
        v("user_caption", o.user_caption);
        v("act_reserved_1", o.act_reserved_1);
        v("user_text", o.user_text);
        v("act_reserved_2", o.act_reserved_2);
        v("method_caption", o.method_caption);
        v("method_guide_text", o.method_guide_text);
        v("method_note_text", o.method_note_text);
        v("act_value_40", o.act_value_40);
        v("allow_custom", o.allow_custom);
        v("allow_maximum", o.allow_maximum);
        v("allow_minimum", o.allow_minimum);
        v("allow_standard", o.allow_standard);
        v("dest_default_path", o.dest_default_path);
        v("dest_default_base", o.dest_default_base);
        v("act_text_17", o.act_text_17);
        v("act_text_18", o.act_text_18);
    }
};

template <>
struct fields<model::proj_hi_level_info> {
    template <class Self, class V>
    static void visit(Self& o, V&& v) {
        v("run_program", o.run_program);
    }
};

template <>
struct fields<model::registry_info> {
    template <class Self, class V>
    static void visit(Self& o, V&& v) {
        v("key_path", o.key_path);
        v("value_text", o.value_text);
    }
};

template <>
struct fields<model::exec_check_file> {
    template <class Self, class V>
    static void visit(Self& o, V&& v) {
        v("check_text_1", o.check_text_1);
        v("check_name", o.check_name);
        v("check_text_3", o.check_text_3);
        v("check_text_4", o.check_text_4);
    }
};

template <>
struct fields<model::folder_object> {
    template <class Self, class V>
    static void visit(Self& o, V&& v) {
        v("folder_name", o.folder_name);
        v("folder_text", o.folder_text);
        v("folder_stamp", o.folder_stamp);
        v("subfolders", o.subfolders);
        v("files", o.files);
    }
};

template <>
struct fields<model::file_object> {
    template <class Self, class V>
    static void visit(Self& o, V&& v) {
        v("file_key", o.file_key);
        v("source_name", o.source_name);
        v("created_stamp", o.created_stamp);
        v("modified_stamp", o.modified_stamp);
        v("file_size", o.file_size);
        v("file_note", o.file_note);
        v("sub_path", o.sub_path);
        v("install_path", o.install_path);
        v("overwrite_mode", o.overwrite_mode);
        v("component_id", o.component_id);
    }
};

template <>
struct fields<model::compo_file_object> {
    template <class Self, class V>
    static void visit(Self& o, V&& v) {
        v("component_id", o.component_id);
        v("component_name", o.component_name);
        v("selected", o.selected);
    }
};

template <>
struct fields<model::compo_folder_object> {
    template <class Self, class V>
    static void visit(Self& o, V&& v) {
        v("folder_number", o.folder_number);
        v("folder_name", o.folder_name);
        v("child_folders", o.child_folders);
        v("items", o.items);
    }
};

template <>
struct fields<model::component_files> {
    template <class Self, class V>
    static void visit(Self& o, V&& v) {
        v("child_folders", o.child_folders);
        v("items", o.items);
    }
};

template <>
struct fields<model::stmenu_file_object> {
    template <class Self, class V>
    static void visit(Self& o, V&& v) {
        v("entry_number", o.entry_number);
        v("link_name", o.link_name);
        v("target_path", o.target_path);
        v("entry_value", o.entry_value);
        v("description", o.description);
        v("arguments", o.arguments);
        v("icon_index", o.icon_index);
        v("icon_path", o.icon_path);
        v("work_folder_base", o.work_folder_base);
        v("work_folder", o.work_folder);
        v("show_command", o.show_command);
        v("hot_key", o.hot_key);
    }
};

template <>
struct fields<model::stmenu_folder_object> {
    template <class Self, class V>
    static void visit(Self& o, V&& v) {
        v("folder_number", o.folder_number);
        v("folder_name", o.folder_name);
        v("child_folders", o.child_folders);
        v("shortcuts", o.shortcuts);
    }
};

template <>
struct fields<model::startup_menu_files> {
    template <class Self, class V>
    static void visit(Self& o, V&& v) {
        v("child_folders", o.child_folders);
        v("shortcuts", o.shortcuts);
    }
};

template <>
struct fields<model::setup_files> {
    template <class Self, class V>
    static void visit(Self& o, V&& v) {
        v("folders", o.folders);
        v("files", o.files);
        v("spare_map_1", o.spare_map_1);
        v("spare_map_2", o.spare_map_2);
        v("spare_map_3", o.spare_map_3);
        v("spare_map_4", o.spare_map_4);
        v("exec_checks", o.exec_checks);
        v("start_menu", o.start_menu);
        v("component_tree", o.component_tree);
        v("component_map", o.component_map);
        v("registry_entries", o.registry_entries);
    }
};

template <>
struct fields<model::comp_file_object> {
    template <class Self, class V>
    static void visit(Self& o, V&& v) {
        v("real_name", o.real_name);
        v("packed_value", o.packed_value);
        v("packed_name", o.packed_name);
    }
};

template <>
struct fields<model::project_data> {
    template <class Self, class V>
    static void visit(Self& o, V&& v) {
        v("reserved_text", o.reserved_text);
        v("proj_app_name", o.app_name);
        v("proj_kind_setup", o.kind_setup);
        v("proj_dsp_mainfrm", o.dsp_mainfrm);
        v("proj_act_info", o.act_info);
        v("proj_hi_level_info", o.hi_level_info);
        v("setup_files", o.files);
    }
};

template <class... T>
struct type_list {};

using record_types =
    type_list<model::proj_app_name, model::proj_kind_setup, model::proj_dsp_mainfrm, model::proj_act_info,
              model::proj_hi_level_info, model::registry_info, model::exec_check_file, model::setup_files,
              model::folder_object, model::file_object, model::component_files, model::compo_folder_object,
              model::compo_file_object, model::startup_menu_files, model::stmenu_folder_object,
              model::stmenu_file_object, model::comp_file_object>;

/// Calls f with r as its most derived record class (const kept).
template <class R, class F, class... T>
void with_record_type(R& r, F&& f, type_list<T...>) {
    auto attempt = [&]<class U>(U*) {
        using target = std::conditional_t<std::is_const_v<R>, const U, U>;
        if (typeid(r) != typeid(U)) return false;
        f(static_cast<target&>(r));
        return true;
    };
    (attempt(static_cast<T*>(nullptr)) || ...);
}

template <class R, class F>
void with_record_type(R& r, F&& f) {
    if constexpr (std::is_same_v<std::remove_const_t<R>, record>) {
        with_record_type(r, std::forward<F>(f), record_types{});
    } else {
        f(r);
    }
}

template <class M>
struct is_record_map : std::false_type {};
template <class K, class T>
struct is_record_map<model::record_map<K, T>> : std::true_type {};

// ---------------------------------------------------------------------------------------
// Project to JSON.

template <class Json>
Json text_json(const std::string& cp932) {
    if (auto utf8 = platform::cp932_to_utf8(cp932)) {
        // Some characters have two codes; keep the bytes when the text would come back different.
        if (auto back = platform::utf8_to_cp932(*utf8); back && *back == cp932) return Json(*utf8);
    }
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(cp932.size() * 2);
    for (unsigned char c : cp932) {
        hex.push_back(digits[c >> 4]);
        hex.push_back(digits[c & 15]);
    }
    Json out = Json::object();
    out["cp932_hex"] = hex;
    return out;
}

std::string bits_hex(std::uint64_t bits) {
    static const char digits[] = "0123456789abcdef";
    std::string hex(16, '0');
    for (int i = 15; i >= 0; --i, bits >>= 4) hex[static_cast<std::size_t>(i)] = digits[bits & 15];
    return hex;
}

/// How often each object is referenced, over the whole document, each object walked once.
class reference_counter {
public:
    std::unordered_map<const record*, int> counts;

    template <class M>
    void operator()(const char*, const M& member) {
        if constexpr (is_record_map<M>::value) {
            for (const auto& entry : member.entries()) {
                if (entry.second && ++counts[entry.second.get()] == 1) {
                    with_record_type(*entry.second, [this](const auto& typed) { walk(typed); });
                }
            }
        } else if constexpr (std::is_base_of_v<record, M>) {
            walk(member);
        }
    }

    template <class T>
    void walk(const T& object) {
        fields<T>::visit(object, *this);
    }
};

/// The entries of a map in the order asked for.
template <class K, class T>
std::vector<typename model::record_map<K, T>::value_type> listed_entries(const model::record_map<K, T>& map,
                                                                         map_order order) {
    auto entries = map.entries();
    if (order == map_order::AsRead) {
        // The visiting order holds each bucket's entries last read first: turn each bucket round.
        auto first = entries.begin();
        while (first != entries.end()) {
            const std::size_t bucket = model::bucket_of(first->first);
            auto last = std::find_if(first, entries.end(),
                                     [bucket](const auto& e) { return model::bucket_of(e.first) != bucket; });
            std::reverse(first, last);
            first = last;
        }
    }
    return entries;
}

template <class Json>
class json_builder {
public:
    json_builder(map_order order, std::unordered_map<const record*, int> counts)
        : order_(order), counts_(std::move(counts)) {}

    template <class T>
    Json object(const T& o) {
        Json out = Json::object();
        fields<T>::visit(o, [this, &out](const char* name, const auto& member) { out[name] = value(member); });
        return out;
    }

private:
    Json value(const std::string& text) { return text_json<Json>(text); }
    Json value(std::int16_t v) { return Json(v); }
    Json value(std::int32_t v) { return Json(v); }
    Json value(std::uint32_t v) { return Json(v); }
    Json value(const model::date_time& v) {
        Json out = Json::object();
        out["status"] = v.status;
        if (std::isfinite(v.days)) {
            out["days"] = v.days;
        } else {
            out["days_bits"] = bits_hex(std::bit_cast<std::uint64_t>(v.days));
        }
        return out;
    }
    template <class R>
        requires std::is_base_of_v<record, R>
    Json value(const R& in_place) {
        return object(in_place);
    }
    template <class K, class T>
    Json value(const model::record_map<K, T>& map) {
        Json list = Json::array();
        for (const auto& [key, target] : listed_entries(map, order_)) {
            Json entry = Json::object();
            if constexpr (std::is_same_v<K, std::string>) {
                entry["key"] = text_json<Json>(key);
            } else {
                entry["key"] = key;
            }
            if constexpr (std::is_same_v<T, record>) {
                if (target) entry["class"] = std::string(target->class_name());
            }
            entry["value"] = reference(target.get());
            list.push_back(std::move(entry));
        }
        return list;
    }

    Json reference(const record* target) {
        if (target == nullptr) return nullptr;
        if (auto seen = ids_.find(target); seen != ids_.end()) {
            Json out = Json::object();
            out["same_as"] = seen->second;
            return out;
        }
        Json out = Json::object();
        // The id comes first, where the archive numbers the object: before its fields.
        if (counts_[target] > 1) {
            const int id = next_id_++;
            ids_.emplace(target, id);
            out["id"] = id;
        }
        with_record_type(*target, [this, &out](const auto& typed) {
            using T = std::remove_cvref_t<decltype(typed)>;
            fields<T>::visit(typed, [this, &out](const char* name, const auto& member) { out[name] = value(member); });
        });
        return out;
    }

    map_order order_;
    std::unordered_map<const record*, int> counts_;
    std::unordered_map<const record*, int> ids_;
    int next_id_ = 1;
};

template <class Json>
Json to_json(const model::project_data& project, map_order order) {
    reference_counter counter;
    fields<model::project_data>::visit(project, counter);
    json_builder<Json> builder(order, std::move(counter.counts));
    return builder.object(project);
}

// ---------------------------------------------------------------------------------------
// JSON to project.

std::string describe(const nlohmann::json& j) {
    switch (j.type()) {
        case nlohmann::json::value_t::null: return "null";
        case nlohmann::json::value_t::object: return "an object";
        case nlohmann::json::value_t::array: return "a list";
        case nlohmann::json::value_t::string: return "a string";
        case nlohmann::json::value_t::boolean: return "a boolean";
        case nlohmann::json::value_t::number_integer:
        case nlohmann::json::value_t::number_unsigned:
        case nlohmann::json::value_t::number_float: return "a number";
        default: return "something else";
    }
}

[[noreturn]] void fail(const std::string& path, const std::string& what) { throw json_error(path, what); }

std::int64_t integer_from_json(const nlohmann::json& j, const std::string& path, std::int64_t low, std::int64_t high) {
    const std::string range = "expected an integer from " + std::to_string(low) + " to " + std::to_string(high);
    if (!j.is_number_integer()) fail(path, range + ", found " + describe(j));
    if (j.is_number_unsigned()) {
        const auto u = j.get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(high)) fail(path, range);
        return static_cast<std::int64_t>(u);
    }
    const auto i = j.get<std::int64_t>();
    if (i < low || i > high) fail(path, range);
    return i;
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string hex_bytes(const std::string& hex, const std::string& path) {
    if (hex.size() % 2 != 0) fail(path, "expected an even number of hex digits");
    std::string out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = hex_digit(hex[i]);
        const int lo = hex_digit(hex[i + 1]);
        if (hi < 0 || lo < 0) fail(path, "expected hex digits");
        out.push_back(static_cast<char>(hi * 16 + lo));
    }
    return out;
}

/// The names of a record's fields, to find members that do not belong.
template <class T>
std::set<std::string> field_names() {
    std::set<std::string> names;
    T probe{};
    fields<T>::visit(probe, [&names](const char* name, auto&) { names.insert(name); });
    return names;
}

class json_reader {
public:
    template <class T>
    void fill(T& o, const nlohmann::json& j, const std::string& path, bool allow_id) {
        if (!j.is_object()) fail(path, "expected an object, found " + describe(j));
        static const std::set<std::string> names = field_names<T>();
        for (const auto& item : j.items()) {
            if (names.count(item.key()) == 0 && !(allow_id && item.key() == "id")) {
                fail(join(path, item.key()), "unknown field");
            }
        }
        fields<T>::visit(o, [this, &j, &path](const char* name, auto& member) {
            const std::string field_path = join(path, name);
            auto it = j.find(name);
            if (it == j.end()) fail(field_path, "missing field");
            read(member, *it, field_path);
        });
    }

private:
    struct known {
        std::shared_ptr<record> object;
        std::uint64_t weight = 0;
        std::size_t height = 0;
    };
    struct frame {
        std::uint64_t weight = 0;
        std::size_t height = 0;
    };

    static std::string join(const std::string& path, const std::string& name) {
        return path.empty() ? name : path + "." + name;
    }

    void read(std::string& text, const nlohmann::json& j, const std::string& path) { text = text_from_json(j, path); }
    void read(std::int16_t& v, const nlohmann::json& j, const std::string& path) {
        v = static_cast<std::int16_t>(integer_from_json(j, path, INT16_MIN, INT16_MAX));
    }
    void read(std::int32_t& v, const nlohmann::json& j, const std::string& path) {
        v = static_cast<std::int32_t>(integer_from_json(j, path, INT32_MIN, INT32_MAX));
    }
    // compo_file_object.selected: stored as 16 bits.
    void read(std::uint32_t& v, const nlohmann::json& j, const std::string& path) {
        v = static_cast<std::uint32_t>(integer_from_json(j, path, 0, UINT16_MAX));
    }
    void read(model::date_time& v, const nlohmann::json& j, const std::string& path) {
        if (!j.is_object()) fail(path, "expected a date-time {\"status\", \"days\"}, found " + describe(j));
        for (const auto& item : j.items()) {
            if (item.key() != "status" && item.key() != "days" && item.key() != "days_bits") {
                fail(join(path, item.key()), "unknown field");
            }
        }
        auto status = j.find("status");
        if (status == j.end()) fail(join(path, "status"), "missing field");
        v.status = static_cast<std::int32_t>(integer_from_json(*status, join(path, "status"), INT32_MIN, INT32_MAX));
        auto days = j.find("days");
        auto bits = j.find("days_bits");
        if ((days == j.end()) == (bits == j.end())) fail(path, "expected one of \"days\" and \"days_bits\"");
        if (days != j.end()) {
            if (!days->is_number()) fail(join(path, "days"), "expected a number, found " + describe(*days));
            v.days = days->get<double>();
            if (!std::isfinite(v.days)) fail(join(path, "days"), "expected a finite number");
        } else {
            const std::string bits_path = join(path, "days_bits");
            if (!bits->is_string() || bits->get_ref<const std::string&>().size() != 16) {
                fail(bits_path, "expected 16 hex digits");
            }
            const std::string raw = hex_bytes(bits->get<std::string>(), bits_path);
            std::uint64_t u = 0;
            for (unsigned char c : raw) u = (u << 8) | c;
            v.days = std::bit_cast<double>(u);
        }
    }
    template <class R>
        requires std::is_base_of_v<record, R>
    void read(R& in_place, const nlohmann::json& j, const std::string& path) {
        fill(in_place, j, path, false);
    }

    template <class K, class T>
    void read(model::record_map<K, T>& map, const nlohmann::json& j, const std::string& path) {
        if (!j.is_array()) fail(path, "expected a list of entries, found " + describe(j));
        constexpr bool spare = std::is_same_v<T, record>;
        std::vector<std::pair<K, std::shared_ptr<T>>> listed;
        std::set<K> keys;
        for (std::size_t i = 0; i < j.size(); ++i) {
            const std::string entry_path = path + "[" + std::to_string(i) + "]";
            const nlohmann::json& entry = j[i];
            if (!entry.is_object()) fail(entry_path, "expected an entry {\"key\", \"value\"}, found " + describe(entry));
            for (const auto& item : entry.items()) {
                if (item.key() != "key" && item.key() != "value" && !(spare && item.key() == "class")) {
                    fail(join(entry_path, item.key()), "unknown field");
                }
            }
            auto key_json = entry.find("key");
            if (key_json == entry.end()) fail(join(entry_path, "key"), "missing field");
            K key{};
            if constexpr (std::is_same_v<K, std::string>) {
                key = text_from_json(*key_json, join(entry_path, "key"));
            } else {
                key = static_cast<K>(integer_from_json(*key_json, join(entry_path, "key"), 0, UINT16_MAX));
            }
            if (!keys.insert(key).second) fail(join(entry_path, "key"), "key listed twice");
            auto value_json = entry.find("value");
            if (value_json == entry.end()) fail(join(entry_path, "value"), "missing field");
            std::string class_name;
            if constexpr (spare) {
                auto class_json = entry.find("class");
                if (value_json->is_null()) {
                    if (class_json != entry.end()) fail(join(entry_path, "class"), "no class for a null value");
                } else {
                    if (class_json == entry.end()) fail(join(entry_path, "class"), "missing field");
                    if (!class_json->is_string()) fail(join(entry_path, "class"), "expected a class name");
                    class_name = class_json->get<std::string>();
                }
            }
            listed.emplace_back(key, reference<T>(*value_json, join(entry_path, "value"), class_name, entry_path));
        }
        // A new key goes to the head of its bucket: inserting from the last listed entry
        // back makes the map visit (and store) its entries in the listed order.
        for (auto it = listed.rbegin(); it != listed.rend(); ++it) map.insert_or_assign(it->first, it->second);
    }

    template <class T>
    std::shared_ptr<T> reference(const nlohmann::json& j, const std::string& path, const std::string& class_name,
                                 const std::string& entry_path) {
        if (j.is_null()) return nullptr;
        if (!j.is_object()) fail(path, "expected an object or null, found " + describe(j));
        if (auto same = j.find("same_as"); same != j.end()) {
            if (j.size() != 1) fail(path, "\"same_as\" stands alone");
            const std::string same_path = join(path, "same_as");
            const std::int64_t id = integer_from_json(*same, same_path, INT64_MIN, INT64_MAX);
            auto found = ids_.find(id);
            if (found == ids_.end()) fail(same_path, "no object with id " + std::to_string(id) + " comes earlier");
            auto typed = std::dynamic_pointer_cast<T>(found->second.object);
            if (!typed) {
                fail(same_path, "object " + std::to_string(id) + " is a " +
                                    std::string(found->second.object->class_name()) + ", which does not belong here");
            }
            if (!class_name.empty() && class_name != found->second.object->class_name()) {
                fail(join(entry_path, "class"), "object " + std::to_string(id) + " is a " +
                                                    std::string(found->second.object->class_name()));
            }
            account(found->second.weight, found->second.height, path);
            return typed;
        }

        if (open_.size() > model::max_object_depth) fail(path, "objects nested too deeply");
        std::shared_ptr<T> object;
        if constexpr (std::is_same_v<T, record>) {
            object = model::create_record(class_name);
            if (!object) fail(join(entry_path, "class"), "unknown class \"" + class_name + "\"");
        } else {
            object = std::make_shared<T>();
        }
        open_.push_back(frame{});
        with_record_type(*object, [this, &j, &path](auto& typed) { fill(typed, j, path, true); });
        const frame own = open_.back();
        open_.pop_back();
        const known entry{object, own.weight + 1, own.height + 1};
        account(entry.weight, entry.height, path);
        if (auto id = j.find("id"); id != j.end()) {
            const std::int64_t number = integer_from_json(*id, join(path, "id"), INT64_MIN, INT64_MAX);
            if (!ids_.emplace(number, entry).second) fail(join(path, "id"), "id " + std::to_string(number) + " given twice");
        }
        return object;
    }

    // The same bounds as the archive reader, so that what is built here can be read back.
    void account(std::uint64_t weight, std::size_t height, const std::string& path) {
        if (open_.size() - 1 + height > model::max_object_depth) fail(path, "objects nested too deeply");
        frame& parent = open_.back();
        parent.weight += weight;
        if (parent.weight > model::max_expanded_objects) fail(path, "too many objects");
        parent.height = std::max(parent.height, height);
    }

    std::map<std::int64_t, known> ids_;
    std::vector<frame> open_{1};
};

}  // namespace

nlohmann::json text_to_json(const std::string& cp932) { return text_json<nlohmann::json>(cp932); }

std::string text_from_json(const nlohmann::json& json, const std::string& field_path) {
    if (json.is_string()) {
        auto cp932 = platform::utf8_to_cp932(json.get_ref<const std::string&>());
        if (!cp932) fail(field_path, "text has characters outside code page 932");
        return *cp932;
    }
    if (json.is_object() && json.size() == 1 && json.contains("cp932_hex") && json["cp932_hex"].is_string()) {
        return hex_bytes(json["cp932_hex"].get<std::string>(), field_path + ".cp932_hex");
    }
    fail(field_path, "expected a text, found " + describe(json));
}

nlohmann::json project_to_json(const model::project_data& project, map_order order) {
    return to_json<nlohmann::json>(project, order);
}

nlohmann::ordered_json project_to_ordered_json(const model::project_data& project, map_order order) {
    return to_json<nlohmann::ordered_json>(project, order);
}

model::project_data project_from_json(const nlohmann::json& json) {
    model::project_data project;
    json_reader reader;
    reader.fill(project, json, "", false);
    return project;
}

nlohmann::ordered_json project_file_to_json(std::span<const std::byte> bytes) {
    return project_to_ordered_json(model::parse_project(bytes), map_order::AsRead);
}

}  // namespace tools
