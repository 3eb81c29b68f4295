#pragma once
// The project's settings records: application name, background window, wizard
// switches and texts, program to start, registry values and programs that must not run.

#include <cstdint>
#include <string>

#include "model/record.hpp"

namespace model {

/// Fields: app_name, app_extra.
class proj_app_name : public record {
public:
    std::string app_name;
    std::string app_extra;

    std::string_view class_name() const override { return "proj_app_name"; }
    void read(archive_reader& in) override;
    void write(archive_writer& out) const override;
};

/// No stored fields.
class proj_kind_setup : public record {
public:
    std::string_view class_name() const override { return "proj_kind_setup"; }
    void read(archive_reader&) override {}
    void write(archive_writer&) const override {}
};

/// Fields: dsp_value, dsp_flag, frame_title, back_style, dsp_text, banner_text, banner_font,
/// banner_size, banner_bold, banner_italic, banner_color, banner_shadow, shadow_color,
/// banner_underline, banner_strikeout.
class proj_dsp_mainfrm : public record {
public:
    std::int32_t dsp_value = 0;
    std::int32_t dsp_flag = 0;
    std::string frame_title;
    std::int32_t back_style = 1;
    std::string dsp_text;
    std::string banner_text;
    std::string banner_font = "Times New Roman";
    std::int16_t banner_size = 20;
    std::int32_t banner_bold = 0;
    std::int32_t banner_italic = 0;
    std::int16_t banner_color = 4;
    std::int32_t banner_shadow = 1;
    std::int16_t shadow_color = 0;
    std::int32_t banner_underline = 0;
    std::int32_t banner_strikeout = 0;

    std::string_view class_name() const override { return "proj_dsp_mainfrm"; }
    void read(archive_reader& in) override;
    void write(archive_writer& out) const override;
};

/// 23 int32 values, 16 texts, 5 int32 values, then text, int32, text, text.
class proj_act_info : public record {
public:
    std::int32_t act_value_1 = 0;
    std::int32_t show_notice_page = 0;
    std::int32_t show_licence_page = 0;
    std::int32_t show_readme_page = 0;
    std::int32_t show_user_page = 0;
    std::int32_t show_method_page = 0;
    std::int32_t act_value_7 = 0;
    std::int32_t show_dest_page = 0;
    std::int32_t show_copy_confirm = 0;
    std::int32_t act_value_10 = 0;
    std::int32_t restart_windows = 0;
    std::int32_t register_uninstall = 0;
    std::int32_t act_value_13 = 0;
    std::int32_t act_value_14 = 0;
    std::int32_t act_value_15 = 0;
    std::int32_t act_value_16 = 0;
    std::int32_t act_value_17 = 0;
    std::int32_t act_value_18 = 0;
    std::int32_t act_value_19 = 0;
    std::int32_t act_value_20 = 0;
    std::int32_t act_value_21 = 0;
    std::int32_t act_value_22 = 0;
    std::int32_t act_value_23 = 0;
    std::string notice_caption;
    std::string notice_lower_text;
    std::string notice_upper_text;
    std::string licence_caption;
    std::string licence_text;
    std::string act_text_6;
    std::string readme_caption;
    std::string readme_text;
    std::string act_text_9;
    std::string user_caption;
    std::string act_reserved_1;
    std::string user_text;
    std::string act_reserved_2;
    std::string method_caption;
    std::string method_guide_text;
    std::string method_note_text;
    std::int32_t act_value_40 = 0;
    std::int32_t allow_custom = 0;
    std::int32_t allow_maximum = 0;
    std::int32_t allow_minimum = 0;
    std::int32_t allow_standard = 1;
    std::string dest_default_path;
    std::int32_t dest_default_base = 0;
    std::string act_text_17;
    std::string act_text_18;
    /// Held in memory after the stored fields; never stored.
    std::int32_t unstored_value = 0;

    std::string_view class_name() const override { return "proj_act_info"; }
    void read(archive_reader& in) override;
    void write(archive_writer& out) const override;
};

/// Fields: run_program.
class proj_hi_level_info : public record {
public:
    std::string run_program;

    std::string_view class_name() const override { return "proj_hi_level_info"; }
    void read(archive_reader& in) override;
    void write(archive_writer& out) const override;
};

/// A registry value to write. Fields: key_path, value_text.
class registry_info : public record {
public:
    std::string key_path;
    std::string value_text;

    std::string_view class_name() const override { return "registry_info"; }
    void read(archive_reader& in) override;
    void write(archive_writer& out) const override;
};

/// A program that must not be running. Fields: check_text_1, check_name, check_text_3, check_text_4.
class exec_check_file : public record {
public:
    std::string check_text_1;
    std::string check_name;
    std::string check_text_3;
    std::string check_text_4;

    std::string_view class_name() const override { return "exec_check_file"; }
    void read(archive_reader& in) override;
    void write(archive_writer& out) const override;
};

}  // namespace model
