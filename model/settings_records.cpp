// Stored field order of the settings records: each read is followed by its write.

#include "model/settings_records.hpp"

#include "model/archive_reader.hpp"
#include "model/archive_writer.hpp"

namespace model {

// proj_app_name: app_name (text), app_extra (text).
void proj_app_name::read(archive_reader& in) {
    app_name = in.read_text();
    app_extra = in.read_text();
}

void proj_app_name::write(archive_writer& out) const {
    out.write_text(app_name);
    out.write_text(app_extra);
}

// proj_dsp_mainfrm: int32 dsp_value, int32 dsp_flag, text frame_title, int32 back_style,
// text dsp_text, text banner_text, text banner_font, int16 banner_size, int32 banner_bold,
// int32 banner_italic, int16 banner_color, int32 banner_shadow, int16 shadow_color,
// int32 banner_underline, int32 banner_strikeout.
void proj_dsp_mainfrm::read(archive_reader& in) {
    dsp_value = in.read_int32();
    dsp_flag = in.read_int32();
    frame_title = in.read_text();
    back_style = in.read_int32();
    dsp_text = in.read_text();
    banner_text = in.read_text();
    banner_font = in.read_text();
    banner_size = in.read_int16();
    banner_bold = in.read_int32();
    banner_italic = in.read_int32();
    banner_color = in.read_int16();
    banner_shadow = in.read_int32();
    shadow_color = in.read_int16();
    banner_underline = in.read_int32();
    banner_strikeout = in.read_int32();
}

void proj_dsp_mainfrm::write(archive_writer& out) const {
    out.write_int32(dsp_value);
    out.write_int32(dsp_flag);
    out.write_text(frame_title);
    out.write_int32(back_style);
    out.write_text(dsp_text);
    out.write_text(banner_text);
    out.write_text(banner_font);
    out.write_int16(banner_size);
    out.write_int32(banner_bold);
    out.write_int32(banner_italic);
    out.write_int16(banner_color);
    out.write_int32(banner_shadow);
    out.write_int16(shadow_color);
    out.write_int32(banner_underline);
    out.write_int32(banner_strikeout);
}

// proj_act_info: 23 int32 values, 16 texts, 5 int32 values, then text, int32, text, text.
void proj_act_info::read(archive_reader& in) {
    for (std::int32_t* v : {&act_value_1, &show_notice_page, &show_licence_page, &show_readme_page,
                            &show_user_page, &show_method_page, &act_value_7, &show_dest_page,
                            &show_copy_confirm, &act_value_10, &restart_windows, &register_uninstall,
                            &act_value_13, &act_value_14, &act_value_15, &act_value_16, &act_value_17,
                            &act_value_18, &act_value_19, &act_value_20, &act_value_21, &act_value_22,
                            &act_value_23}) {
        *v = in.read_int32();
    }
    for (std::string* t : {&notice_caption, &notice_lower_text, &notice_upper_text, &licence_caption,
                           &licence_text, &act_text_6, &readme_caption, &readme_text, &act_text_9,
                           &user_caption, &act_reserved_1, &user_text, &act_reserved_2, &method_caption,
                           &method_guide_text, &method_note_text}) {
        *t = in.read_text();
    }
    for (std::int32_t* v : {&act_value_40, &allow_custom, &allow_maximum, &allow_minimum, &allow_standard}) {
        *v = in.read_int32();
    }
    dest_default_path = in.read_text();
    dest_default_base = in.read_int32();
    act_text_17 = in.read_text();
    act_text_18 = in.read_text();
}

void proj_act_info::write(archive_writer& out) const {
    for (std::int32_t v : {act_value_1, show_notice_page, show_licence_page, show_readme_page, show_user_page,
                           show_method_page, act_value_7, show_dest_page, show_copy_confirm, act_value_10,
                           restart_windows, register_uninstall, act_value_13, act_value_14, act_value_15,
                           act_value_16, act_value_17, act_value_18, act_value_19, act_value_20,
                           act_value_21, act_value_22, act_value_23}) {
        out.write_int32(v);
    }
    for (const std::string* t : {&notice_caption, &notice_lower_text, &notice_upper_text, &licence_caption,
                                 &licence_text, &act_text_6, &readme_caption, &readme_text, &act_text_9,
                                 &user_caption, &act_reserved_1, &user_text, &act_reserved_2,
                                 &method_caption, &method_guide_text, &method_note_text}) {
        out.write_text(*t);
    }
    for (std::int32_t v : {act_value_40, allow_custom, allow_maximum, allow_minimum, allow_standard}) {
        out.write_int32(v);
    }
    out.write_text(dest_default_path);
    out.write_int32(dest_default_base);
    out.write_text(act_text_17);
    out.write_text(act_text_18);
}

// proj_hi_level_info: run_program (text).
void proj_hi_level_info::read(archive_reader& in) { run_program = in.read_text(); }

void proj_hi_level_info::write(archive_writer& out) const { out.write_text(run_program); }

// registry_info: key_path (text), value_text (text).
void registry_info::read(archive_reader& in) {
    key_path = in.read_text();
    value_text = in.read_text();
}

void registry_info::write(archive_writer& out) const {
    out.write_text(key_path);
    out.write_text(value_text);
}

// exec_check_file: check_text_1, check_name, check_text_3, check_text_4 (texts).
void exec_check_file::read(archive_reader& in) {
    check_text_1 = in.read_text();
    check_name = in.read_text();
    check_text_3 = in.read_text();
    check_text_4 = in.read_text();
}

void exec_check_file::write(archive_writer& out) const {
    out.write_text(check_text_1);
    out.write_text(check_name);
    out.write_text(check_text_3);
    out.write_text(check_text_4);
}

}  // namespace model
