#pragma once
// Projects made up from a seed, for round trips: every record class, nested trees, shared
// objects, null values, texts of every length form, code page 932 texts valid and not.

#include <bit>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <string>

#include "model/file_set_records.hpp"
#include "model/package_directory.hpp"
#include "model/project_data.hpp"

namespace test_support {

struct generator_options {
    std::uint32_t seed = 1;
    int loose_files = 20;        ///< entries of setup_files.files
    int folder_depth = 3;        ///< levels of the folder trees
    bool special_doubles = true; ///< NaN, infinities and -0.0 among the date-times
    int filler_objects = 0;      ///< fieldless objects early in the file, to push numbers past 0x7FFF
};

class project_generator {
public:
    explicit project_generator(generator_options options) : options_(options), random_(options.seed) {}

    model::project_data make() {
        model::project_data p;
        p.reserved_text = text();
        p.app_name.app_name = "テスト アプリ";
        p.app_name.app_extra = text();
        p.dsp_mainfrm.dsp_value = int32();
        p.dsp_mainfrm.dsp_flag = int32();
        p.dsp_mainfrm.frame_title = text();
        p.dsp_mainfrm.back_style = int32();
        p.dsp_mainfrm.banner_text = text();
        p.dsp_mainfrm.banner_font = text();
        p.dsp_mainfrm.banner_size = int16();
        p.dsp_mainfrm.banner_color = int16();
        p.dsp_mainfrm.shadow_color = int16();
        p.dsp_mainfrm.banner_strikeout = int32();
        p.act_info.act_value_1 = int32();
        p.act_info.show_notice_page = int32();
        p.act_info.act_value_23 = int32();
        p.act_info.notice_caption = text();
        p.act_info.method_note_text = text();
        p.act_info.act_value_40 = int32();
        p.act_info.allow_standard = int32();
        p.act_info.dest_default_path = text();
        p.act_info.dest_default_base = int32();
        p.act_info.act_text_18 = text();
        p.hi_level_info.run_program = text();

        auto& f = p.files;
        for (int i = 0; i < 3; ++i) f.folders.insert_or_assign(key(), folder(options_.folder_depth));
        for (int i = 0; i < options_.loose_files; ++i) f.files.insert_or_assign(key(), file());
        f.files.insert_or_assign("null entry", nullptr);
        // A folder met twice: the second time is a back reference.
        auto shared_folder = folder(1);
        f.folders.insert_or_assign("shared-a", shared_folder);
        f.folders.insert_or_assign("shared-b", shared_folder);

        f.spare_map_1.insert_or_assign(word(), file());
        f.spare_map_1.insert_or_assign(word(), registry());
        f.spare_map_2.insert_or_assign(word(), std::make_shared<model::proj_kind_setup>());
        f.spare_map_2.insert_or_assign(word(), nullptr);
        for (int i = 0; i < options_.filler_objects; ++i) {
            f.spare_map_2.insert_or_assign(static_cast<std::uint16_t>(1000 + i),
                                           std::make_shared<model::proj_kind_setup>());
        }
        auto packed = std::make_shared<model::comp_file_object>();
        packed->real_name = text();
        packed->packed_value = int32();
        packed->packed_name = text();
        f.spare_map_3.insert_or_assign(word(), packed);
        f.spare_map_4.insert_or_assign(word(), f.files.entries().front().second);

        for (int i = 0; i < 3; ++i) {
            auto check = std::make_shared<model::exec_check_file>();
            check->check_text_1 = text();
            check->check_name = text();
            check->check_text_3 = text();
            check->check_text_4 = text();
            f.exec_checks.insert_or_assign(key(), check);
        }

        for (int i = 0; i < 2; ++i) f.start_menu.child_folders.insert_or_assign(word(), stmenu_folder(2));
        for (int i = 0; i < 3; ++i) f.start_menu.shortcuts.insert_or_assign(word(), shortcut());

        // Components: the same objects in the component tree and the component map.
        for (int i = 0; i < 6; ++i) {
            auto c = std::make_shared<model::compo_file_object>();
            c->component_id = static_cast<std::int16_t>(i * 16 + 3);
            c->component_name = text();
            c->selected = std::uniform_int_distribution<std::uint32_t>(0, 0xFFFF)(random_);
            f.component_tree.items.insert_or_assign(static_cast<std::uint16_t>(c->component_id), c);
            f.component_map.insert_or_assign(static_cast<std::uint16_t>(c->component_id), c);
        }
        auto compo_folder = std::make_shared<model::compo_folder_object>();
        compo_folder->folder_number = int16();
        compo_folder->folder_name = text();
        compo_folder->items.insert_or_assign(3, f.component_map.entries().front().second);
        compo_folder->child_folders.insert_or_assign(7, std::make_shared<model::compo_folder_object>());
        f.component_tree.child_folders.insert_or_assign(1, compo_folder);

        for (int i = 0; i < 4; ++i) f.registry_entries.insert_or_assign(key(), registry());
        return p;
    }

    std::string text() {
        switch (pick(12)) {
            case 0: return "";
            case 1: return std::string(254, 'a');
            case 2: return std::string(255, 'b');
            case 3: return "日本語のテキスト ﾊﾝｶｸ";
            case 4: return std::string("\x81\xca", 2);             // a character with two codes, kept as is
            case 5: return std::string("\xfa\x54", 2);             // its other code
            case 6: return std::string("\x80\xff\x82", 3);        // not code page 932
            case 7: return std::string("nul\0inside", 10);
            case 8: return "C:\\Program Files\\App\\app.exe";
            default: {
                std::string s(pick(20), 'x');
                for (char& c : s) c = static_cast<char>('a' + pick(26));
                return s;
            }
        }
    }

    model::date_time stamp() {
        model::date_time t;
        t.status = static_cast<std::int32_t>(pick(3));
        const unsigned kind = options_.special_doubles ? pick(10) : 9;
        switch (kind) {
            case 0: t.days = std::numeric_limits<double>::quiet_NaN(); break;
            case 1: t.days = std::bit_cast<double>(std::uint64_t{0xfff0000000000123}); break;  // NaN with a payload
            case 2: t.days = -std::numeric_limits<double>::infinity(); break;
            case 3: t.days = -0.0; break;
            case 4: t.days = std::numeric_limits<double>::denorm_min(); break;
            default: t.days = std::uniform_real_distribution<double>(-1000.0, 80000.0)(random_); break;
        }
        return t;
    }

    std::shared_ptr<model::file_object> file() {
        auto f = std::make_shared<model::file_object>();
        f->file_key = text();
        f->source_name = text();
        f->created_stamp = stamp();
        f->modified_stamp = stamp();
        f->file_size = int32();
        f->file_note = text();
        f->sub_path = text();
        f->install_path = text();
        f->overwrite_mode = int16();
        f->component_id = int16();
        return f;
    }

    std::string key() { return "key" + std::to_string(next_key_++) + (pick(4) == 0 ? "・鍵" : ""); }
    std::uint16_t word() { return static_cast<std::uint16_t>(next_word_++ * 7); }

private:
    unsigned pick(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(random_); }
    std::int32_t int32() {
        return std::uniform_int_distribution<std::int32_t>(std::numeric_limits<std::int32_t>::min(),
                                                           std::numeric_limits<std::int32_t>::max())(random_);
    }
    std::int16_t int16() { return static_cast<std::int16_t>(int32()); }

    std::shared_ptr<model::registry_info> registry() {
        auto r = std::make_shared<model::registry_info>();
        r->key_path = text();
        r->value_text = text();
        return r;
    }

    std::shared_ptr<model::folder_object> folder(int depth) {
        auto d = std::make_shared<model::folder_object>();
        d->folder_name = text();
        d->folder_text = text();
        d->folder_stamp = stamp();
        if (depth > 1) {
            for (unsigned i = 0, n = pick(3); i < n; ++i) d->subfolders.insert_or_assign(key(), folder(depth - 1));
        }
        for (unsigned i = 0, n = pick(4); i < n; ++i) d->files.insert_or_assign(key(), file());
        return d;
    }

    std::shared_ptr<model::stmenu_file_object> shortcut() {
        auto s = std::make_shared<model::stmenu_file_object>();
        s->entry_number = int16();
        s->link_name = text();
        s->target_path = text();
        s->entry_value = int32();
        s->description = text();
        s->arguments = text();
        s->icon_index = int32();
        s->icon_path = text();
        s->work_folder_base = int32();
        s->work_folder = text();
        s->show_command = int32();
        s->hot_key = int16();
        return s;
    }

    std::shared_ptr<model::stmenu_folder_object> stmenu_folder(int depth) {
        auto d = std::make_shared<model::stmenu_folder_object>();
        d->folder_number = int16();
        d->folder_name = text();
        if (depth > 1) d->child_folders.insert_or_assign(word(), stmenu_folder(depth - 1));
        for (unsigned i = 0, n = pick(3); i < n; ++i) d->shortcuts.insert_or_assign(word(), shortcut());
        return d;
    }

    generator_options options_;
    std::mt19937 random_;
    int next_key_ = 0;
    int next_word_ = 1;
};

/// A project made up from options.
inline model::project_data generated_project(generator_options options) {
    return project_generator(options).make();
}

}  // namespace test_support
