#include <gtest/gtest.h>

#include <bit>
#include <functional>

#include "tests/model/project_generator.hpp"
#include "tools/project_json.hpp"

namespace {

using nlohmann::json;

std::string utf8(std::u8string_view s) { return std::string(s.begin(), s.end()); }

/// vrz show then vrz project, through the JSON text.
std::string through_json_text(const std::string& file) {
    const std::string text = tools::project_file_to_json(model::as_bytes(file)).dump(2);
    return model::serialize_project(tools::project_from_json(json::parse(text)));
}

TEST(project_json_contract, ShowThenProjectGivesTheFileBack) {
    for (std::uint32_t seed : {1u, 2u, 3u, 4u, 5u}) {
        const std::string file = model::serialize_project(test_support::generated_project({seed, 25, 4, true}));
        EXPECT_EQ(through_json_text(file), file) << seed;
        // The file as a reader leaves it, written again (each bucket turned round), too.
        const std::string rewritten = model::serialize_project(model::parse_project(model::as_bytes(file)));
        EXPECT_EQ(through_json_text(rewritten), rewritten) << seed;
    }
}

TEST(project_json_contract, LargeProjectWithBigTags) {
    // The filler objects come before the folders' files, the exec checks, the trees and
    // the components, whose classes and objects then take numbers above 0x7FFF.
    const std::string file = model::serialize_project(test_support::generated_project({9, 40, 3, true, 33000}));
    std::size_t big_back_references = 0;
    for (std::size_t i = 0; i + 6 <= file.size(); ++i) {
        if (file[i] != '\xff' || file[i + 1] != '\x7f') continue;
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 4; ++k) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(file[i + 2 + k])) << (8 * k);
        if (v >= 0x7FFF && v < 0x80000000u) ++big_back_references;
    }
    ASSERT_GE(big_back_references, 6u);  // the component map refers back to the component tree
    EXPECT_EQ(through_json_text(file), file);
}

TEST(project_json_contract, FreshProject) {
    const std::string file = model::serialize_project(model::project_data{});
    EXPECT_EQ(through_json_text(file), file);
}

TEST(project_json_contract, ToAndFromJsonAreInverses) {
    const model::project_data p = test_support::generated_project({21, 30, 3, true});
    const json first = tools::project_to_json(p);
    const model::project_data back = tools::project_from_json(first);
    EXPECT_EQ(tools::project_to_json(back), first);
    // And the document stores its entries in the listed order: the same bytes.
    EXPECT_EQ(model::serialize_project(back), model::serialize_project(p));
}

TEST(project_json_shape, ListsEntriesInFileOrderAndMarksSharedObjects) {
    // Component keys 0x0123 and 0x0124 share a bucket; the file lists 0x0123 first.
    model::project_data p;
    auto a = std::make_shared<model::compo_file_object>();
    a->component_id = 0x0123;
    a->component_name = "標準";
    a->selected = 1;
    auto b = std::make_shared<model::compo_file_object>();
    b->component_id = 0x0124;
    p.files.component_map.insert_or_assign(0x0124, b);
    p.files.component_map.insert_or_assign(0x0123, a);  // head of the bucket: visited and stored first
    p.files.component_tree.items.insert_or_assign(0x0123, a);
    p.files.spare_map_1.insert_or_assign(9, a);
    p.files.spare_map_1.insert_or_assign(8, nullptr);
    p.files.registry_entries.insert_or_assign(std::string("\xff", 1), std::make_shared<model::registry_info>());
    const std::string file = model::serialize_project(p);

    const auto shown = tools::project_file_to_json(model::as_bytes(file));
    const auto& files = shown["setup_files"];
    EXPECT_EQ(files["component_map"].size(), 2u);
    EXPECT_EQ(files["component_map"][0]["key"], 0x0123);
    EXPECT_EQ(files["component_map"][1]["key"], 0x0124);
    // The component tree is stored before the component map: the object is complete there.
    // The spare maps are stored before the component tree and map: the object's first place.
    EXPECT_EQ(files["spare_map_1"][1],
              (nlohmann::ordered_json{{"key", 9},
                                      {"class", "compo_file_object"},
                                      {"value",
                                       {{"id", 1}, {"component_id", 0x0123}, {"component_name", utf8(u8"標準")},
                                        {"selected", 1}}}}));
    EXPECT_EQ(files["component_tree"]["items"][0]["value"], (nlohmann::ordered_json{{"same_as", 1}}));
    EXPECT_EQ(files["component_map"][0]["value"], (nlohmann::ordered_json{{"same_as", 1}}));
    EXPECT_EQ(files["component_map"][1]["value"]["component_id"], 0x0124);
    EXPECT_FALSE(files["component_map"][1]["value"].contains("id"));
    EXPECT_EQ(files["spare_map_1"][0], (nlohmann::ordered_json{{"key", 8}, {"value", nullptr}}));
    EXPECT_EQ(files["registry_entries"][0]["key"], (nlohmann::ordered_json{{"cp932_hex", "ff"}}));
    EXPECT_EQ(shown["proj_dsp_mainfrm"]["banner_font"], "Times New Roman");
    EXPECT_EQ(shown.begin().key(), "reserved_text");

    // The shown order is the file's, which is the reverse within a bucket of how the
    // project read from it visits them.
    const auto read = model::parse_project(model::as_bytes(file));
    EXPECT_EQ(read.files.component_map.entries().front().first, 0x0124);
    EXPECT_EQ(tools::project_to_json(read)["setup_files"]["component_map"][0]["key"], 0x0124);
}

TEST(project_json_shape, DateTimesKeepEveryBit) {
    const double values[] = {36526.75, -0.0, 0.1, std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::quiet_NaN(), std::bit_cast<double>(0xfff0000000000001ull),
                             std::numeric_limits<double>::infinity(), 1e300};
    for (double d : values) {
        model::project_data p;
        auto f = std::make_shared<model::folder_object>();
        f->folder_stamp = {2, d};
        p.files.folders.insert_or_assign("f", f);
        const json j = json::parse(tools::project_to_json(p).dump());
        const auto back = tools::project_from_json(j);
        const auto& stamp = back.files.folders.find("f")->folder_stamp;
        EXPECT_EQ(stamp.status, 2);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(stamp.days), std::bit_cast<std::uint64_t>(d)) << d;
        EXPECT_EQ(j["setup_files"]["folders"][0]["value"]["folder_stamp"].contains("days_bits"), !std::isfinite(d));
    }
}

struct text_case {
    const char* name;
    std::string cp932;
    json expected;
};

class project_json_text : public ::testing::TestWithParam<text_case> {};

TEST_P(project_json_text, ConvertsLosslessly) {
    const auto& c = GetParam();
    EXPECT_EQ(tools::text_to_json(c.cp932), c.expected);
    EXPECT_EQ(tools::text_from_json(c.expected, "t"), c.cp932);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, project_json_text,
    ::testing::Values(text_case{"Empty", "", ""}, text_case{"Japanese", "日本ﾃｷｽﾄ", utf8(u8"日本ﾃｷｽﾄ")},
                      text_case{"ZeroByte", std::string("a\0b", 3), std::string("a\0b", 3)},
                      text_case{"Invalid", std::string("\x80\x82", 2), {{"cp932_hex", "8082"}}},
                      // FA 54 and 81 CA are the same character; only 81 CA comes back from Unicode.
                      text_case{"SecondCodeOfACharacter", std::string("\xfa\x54", 2), {{"cp932_hex", "fa54"}}},
                      text_case{"FirstCodeOfACharacter", std::string("\x81\xca", 2), utf8(u8"\uFFE2")}),
    [](const auto& info) { return info.param.name; });

struct bad_json_case {
    const char* name;
    std::function<void(json&)> damage;
    std::string message;
};

class project_json_errors : public ::testing::TestWithParam<bad_json_case> {};

json sample_json() {
    model::project_data p = test_support::generated_project({31, 3, 2, false});
    auto shared = std::make_shared<model::file_object>();
    p.files.files = {};
    p.files.files.insert_or_assign("a", shared);
    p.files.files.insert_or_assign("b", shared);
    p.files.files.insert_or_assign("c", std::make_shared<model::file_object>());
    return tools::project_to_json(p);
}

TEST_P(project_json_errors, NamesTheField) {
    json j = sample_json();
    ASSERT_NO_THROW(tools::project_from_json(j));
    GetParam().damage(j);
    try {
        tools::project_from_json(j);
        FAIL() << "accepted";
    } catch (const tools::json_error& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, project_json_errors,
    ::testing::Values(
        bad_json_case{"NumberForText", [](json& j) { j["setup_files"]["files"][2]["value"]["install_path"] = 5; },
                      "setup_files.files[2].value.install_path: expected a text, found a number"},
        bad_json_case{"MissingField", [](json& j) { j["proj_dsp_mainfrm"].erase("banner_size"); },
                      "proj_dsp_mainfrm.banner_size: missing field"},
        bad_json_case{"UnknownField", [](json& j) { j["proj_app_name"]["app_nmae"] = ""; },
                      "proj_app_name.app_nmae: unknown field"},
        bad_json_case{"Int16OutOfRange", [](json& j) { j["proj_dsp_mainfrm"]["banner_size"] = 40000; },
                      "proj_dsp_mainfrm.banner_size: expected an integer from -32768 to 32767"},
        bad_json_case{"FractionForInteger", [](json& j) { j["proj_act_info"]["allow_custom"] = 0.5; },
                      "proj_act_info.allow_custom: expected an integer from -2147483648 to 2147483647, found a number"},
        bad_json_case{"SelectedBeyond16Bits", [](json& j) { j["setup_files"]["component_tree"]["items"][1]["value"]["selected"] = 65536; },
                      "setup_files.component_tree.items[1].value.selected: expected an integer from 0 to 65535"},
        bad_json_case{"WordKeyNegative", [](json& j) { j["setup_files"]["component_map"][0]["key"] = -1; },
                      "setup_files.component_map[0].key: expected an integer from 0 to 65535"},
        bad_json_case{"SameAsUnknown", [](json& j) { j["setup_files"]["files"][1]["value"] = {{"same_as", 77}}; },
                      "setup_files.files[1].value.same_as: no object with id 77 comes earlier"},
        bad_json_case{"SameAsWrongClass",
                      [](json& j) { j["setup_files"]["registry_entries"][0]["value"] = {{"same_as", 1}}; },
                      "setup_files.registry_entries[0].value.same_as: object 1 is a folder_object, which does not "
                      "belong here"},
        bad_json_case{"KeyTwice", [](json& j) { j["setup_files"]["files"][2]["key"] = "a"; },
                      "setup_files.files[2].key: key listed twice"},
        bad_json_case{"UnknownClass", [](json& j) { j["setup_files"]["spare_map_1"][0]["class"] = "nothing"; },
                      "setup_files.spare_map_1[0].class: unknown class \"nothing\""},
        bad_json_case{"UnmappableText", [](json& j) { j["reserved_text"] = "\xe0\xb8\x81"; },
                      "reserved_text: text has characters outside code page 932"},
        bad_json_case{"OddHex", [](json& j) { j["reserved_text"] = {{"cp932_hex", "abc"}}; },
                      "reserved_text.cp932_hex: expected an even number of hex digits"},
        bad_json_case{"DaysNotANumber",
                      [](json& j) { j["setup_files"]["files"][2]["value"]["created_stamp"]["days"] = "today"; },
                      "setup_files.files[2].value.created_stamp.days: expected a number, found a string"},
        bad_json_case{"MapNotAList", [](json& j) { j["setup_files"]["start_menu"]["shortcuts"] = json::object(); },
                      "setup_files.start_menu.shortcuts: expected a list of entries, found an object"},
        bad_json_case{"IdTwice", [](json& j) { j["setup_files"]["files"][2]["value"]["id"] = 1; },
                      "setup_files.files[2].value.id: id 1 given twice"},
        bad_json_case{"NotAnObject", [](json& j) { j = json::array(); }, ": expected an object, found a list"}),
    [](const auto& info) { return info.param.name; });

TEST(project_json_limits, DeepTreesAndHugeExpansionsAreRefused) {
    // 65 nested folders.
    json folder = {{"folder_name", ""}, {"folder_text", ""}, {"folder_stamp", {{"status", 0}, {"days", 0.0}}},
                   {"subfolders", json::array()}, {"files", json::array()}};
    json deep = folder;
    for (int i = 1; i < 65; ++i) {
        json up = folder;
        up["subfolders"].push_back({{"key", "s"}, {"value", deep}});
        deep = up;
    }
    json j = tools::project_to_json(model::project_data{});
    j["setup_files"]["folders"].push_back({{"key", "top"}, {"value", deep}});
    EXPECT_THROW(tools::project_from_json(j), tools::json_error);

    // Each level holds the level below twice (an id, then same_as): 2^24 places.
    json level = folder;
    level["id"] = 0;
    for (int i = 1; i < 24; ++i) {
        json up = folder;
        up["id"] = i;
        up["subfolders"].push_back({{"key", "x"}, {"value", level}});
        up["subfolders"].push_back({{"key", "y"}, {"value", {{"same_as", i - 1}}}});
        level = up;
    }
    j = tools::project_to_json(model::project_data{});
    j["setup_files"]["folders"].push_back({{"key", "top"}, {"value", level}});
    EXPECT_THROW(tools::project_from_json(j), tools::json_error);
}

}  // namespace
