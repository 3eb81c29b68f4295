#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <sstream>

#include "model/byte_cursor.hpp"
#include "package/package_builder.hpp"
#include "package/volume_join.hpp"
#include "tests/tools/package_tool_fixture.hpp"
#include "tools/commands.hpp"
#include "tools/package_extract.hpp"
#include "tools/package_pack.hpp"
#include "tools/package_verify.hpp"
#include "tools/project_json.hpp"

namespace {

using package_tool_test::project_installing;
using package_tool_test::sample_bytes;
namespace fs = std::filesystem;

bool mentions(const std::vector<std::string>& lines, const std::string& part) {
    for (const auto& l : lines) {
        if (l.find(part) != std::string::npos) return true;
    }
    return false;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\n";
    return out;
}

class package_tools : public package_tool_test::scratch_test {
protected:
    /// Packs five files (one with a Japanese name) into several volumes of 3000 bytes.
    package::package_image pack_sample(bool fill_sizes = true, bool all_installed = true) {
        sources = {{"a.txt", sample_bytes(4000, 1)},
                   {"b.bin", sample_bytes(9000, 2)},
                   {"empty.dat", ""},
                   {"表示.txt", sample_bytes(2500, 3)},
                   {"e.exe", sample_bytes(6000, 4)}};
        nlohmann::json files = nlohmann::json::array();
        std::vector<std::string> installed;
        for (const auto& [name, bytes] : sources) {
            // The host file name is UTF-8; the package name is its code page 932 form.
            put(u8name(name), bytes);
            files.push_back({{"source", u8name(name)}});
            installed.push_back(name);
        }
        if (!all_installed) installed.pop_back();
        write_project(project_installing(installed));
        nlohmann::json manifest = {{"project_file", "arkbs.in"},
                                   {"files", files},
                                   {"volume_size", 3000},
                                   {"fill_file_sizes", fill_sizes},
                                   {"readme", "readme.src"}};
        put("readme.src", "read me");
        put("manifest.json", manifest.dump());
        return tools::pack_package(tools::read_manifest(root / "manifest.json"), root / "pkg");
    }

    void write_project(const model::project_data& project) { put("arkbs.in", model::serialize_project(project)); }

    static std::string u8name(const std::string& cp932) {
        static const std::map<std::string, std::string> names = {{"表示.txt", "\xE8\xA1\xA8\xE7\xA4\xBA.txt"}};
        auto it = names.find(cp932);
        return it == names.end() ? cp932 : it->second;
    }

    std::vector<std::pair<std::string, std::string>> sources;
};

TEST_F(package_tools, pack_then_extract_gives_back_every_file_across_several_volumes) {
    const auto image = pack_sample();
    ASSERT_GE(image.volumes.size(), 3u);
    for (const char* name : {"arkbs.vrz", "arkmtx.vrz", "ark.vrz", "arkci.vrz", "ray000.vrz", "readme.txt"}) {
        EXPECT_TRUE(fs::exists(root / "pkg" / name)) << name;
    }
    EXPECT_EQ(read(root / "pkg" / "readme.txt"), "read me");
    EXPECT_EQ(image.entries.front().volume, 1u);
    for (std::size_t i = 1; i < image.entries.size(); ++i) {
        const auto step = image.entries[i].volume - image.entries[i - 1].volume;
        EXPECT_TRUE(step == 0 || step == 1) << "entry " << i + 1;
    }

    std::ostringstream out, err;
    ASSERT_EQ(tools::extract_package(root / "pkg", root / "out", out, err, false), 0) << err.str();
    EXPECT_EQ(err.str(), "");
    for (const auto& [name, bytes] : sources) {
        const std::string host = u8name(name);
        EXPECT_EQ(read(root / "out" / fs::path(std::u8string(host.begin(), host.end()))), bytes) << host;
    }
    EXPECT_NE(out.str().find("5 of 5 files extracted"), std::string::npos) << out.str();
}

TEST_F(package_tools, a_clean_package_verifies_and_lists) {
    pack_sample();
    const auto problems = tools::verify_problems(root / "pkg");
    EXPECT_TRUE(problems.empty()) << joined(problems);

    std::ostringstream out, err;
    EXPECT_EQ(tools::list_package(root / "pkg", out, err), 0);
    const std::string listing = out.str();
    EXPECT_NE(listing.find("PK000002.TMP"), std::string::npos) << listing;
    EXPECT_NE(listing.find("b.bin"), std::string::npos);
    EXPECT_NE(listing.find("9000"), std::string::npos) << "the decoded size is listed";
    EXPECT_NE(listing.find("\xE8\xA1\xA8\xE7\xA4\xBA.txt"), std::string::npos) << "names are shown in UTF-8";
}

TEST_F(package_tools, pack_fills_file_sizes_unless_told_not_to) {
    pack_sample(false);
    EXPECT_TRUE(mentions(tools::verify_problems(root / "pkg"), "has file_size 0 but the file decodes to 4000 bytes"));
}

struct damage {
    const char* what;
    void (*spoil)(const fs::path& pkg);
    const char* expected;
};

void write_bytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string read_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class package_verify_damage : public package_tools, public ::testing::WithParamInterface<damage> {};

TEST_P(package_verify_damage, is_found) {
    pack_sample();
    GetParam().spoil(root / "pkg");
    const auto problems = tools::verify_problems(root / "pkg");
    EXPECT_TRUE(mentions(problems, GetParam().expected)) << GetParam().what << ":\n" << joined(problems);
    std::ostringstream out;
    EXPECT_EQ(tools::verify_package(root / "pkg", out), 1);
}

INSTANTIATE_TEST_SUITE_P(
    kinds, package_verify_damage,
    ::testing::Values(
        damage{"missing volume", [](const fs::path& p) { fs::remove(p / "ray001.vrz"); },
               "volume ray001.vrz is missing"},
        damage{"truncated table",
               [](const fs::path& p) {
                   // One volume counted, and that one ends inside the directory.
                   write_bytes(p / "arkci.vrz", package::serialize_volume_header({1, 0, 0, 0}));
                   write_bytes(p / "ray000.vrz", read_bytes(p / "ray000.vrz").substr(0, 100));
               },
               "the joined volumes are truncated"},
        damage{"cut last volume",
               [](const fs::path& p) {
                   std::uint32_t n = 0;
                   while (fs::exists(p / package::volume_file_name(n + 1))) ++n;
                   const fs::path last = p / package::volume_file_name(n);
                   const std::string bytes = read_bytes(last);
                   write_bytes(last, bytes.substr(0, bytes.size() - 1));
               },
               "lies beyond the end of the joined volumes"},
        damage{"missing piece",
               [](const fs::path& p) {
                   // Rename record 003 of the piece directory: the number goes missing.
                   std::string pieces = read_bytes(p / "ark.vrz");
                   const auto at = pieces.find(std::string("003\0", 4));
                   pieces[at + 2] = '9';
                   write_bytes(p / "ark.vrz", pieces);
               },
               "entry 003 is missing from the piece directory"},
        damage{"no project", [](const fs::path& p) { fs::remove(p / "arkbs.vrz"); }, "arkbs.vrz is missing"},
        damage{"project without the file objects",
               [](const fs::path& p) {
                   write_bytes(p / "arkbs.vrz", model::serialize_project(project_installing({"a.txt", "nope.txt"})));
               },
               "is used by no file_object"},
        damage{"file object naming a file the package lacks",
               [](const fs::path& p) {
                   write_bytes(p / "arkbs.vrz", model::serialize_project(project_installing({"nope.txt"})));
               },
               "installs \"nope.txt\", which the package does not hold"},
        damage{"wrong file size",
               [](const fs::path& p) {
                   auto project = project_installing({"a.txt"});
                   project.files.files.find("a.txt")->file_size = 3999;
                   write_bytes(p / "arkbs.vrz", model::serialize_project(project));
               },
               "has file_size 3999 but the file decodes to 4000 bytes"}));

TEST_F(package_tools, a_volume_beyond_the_count_is_reported) {
    pack_sample();
    const auto count = package::parse_volume_header(model::as_bytes(read(root / "pkg" / "arkci.vrz")))->volume_count;
    put("pkg/" + package::volume_file_name(count), "stray");
    EXPECT_TRUE(mentions(tools::verify_problems(root / "pkg"), "is present but arkci.vrz counts"));
}

TEST_F(package_tools, extract_refuses_names_that_leave_the_output_folder) {
    const auto image = package::build_package({{"good.txt", "", 0, "fine"}, {"bad.txt", "", 0, "evil"}}, {});
    // Rename the second file in the package directory to climb out of the output folder.
    std::string directory = image.package_directory;
    const auto at = directory.find("bad.txt");
    ASSERT_NE(at, std::string::npos);
    directory.replace(at, 7, "..\\x.tx");
    put("pkg/arkmtx.vrz", directory);
    put("pkg/ark.vrz", image.piece_directory);
    put("pkg/arkci.vrz", package::serialize_volume_header(image.header));
    put("pkg/ray000.vrz", image.volumes[0]);
    fs::create_directories(root / "out");

    std::ostringstream out, err;
    EXPECT_EQ(tools::extract_package(root / "pkg", root / "out" / "inner", out, err, false), 1);
    EXPECT_NE(err.str().find("not a plain file name"), std::string::npos) << err.str();
    EXPECT_EQ(read(root / "out" / "inner" / "good.txt"), "fine");
    std::vector<fs::path> written;
    for (const auto& e : fs::recursive_directory_iterator(root / "out")) written.push_back(e.path());
    EXPECT_EQ(written.size(), 2u) << "only the inner folder and good.txt";
}

TEST_F(package_tools, pack_removes_the_volumes_of_an_earlier_package_that_follow_its_own) {
    put("pkg/ray040.vrz", "unrelated");
    pack_sample();
    const auto count = package::parse_volume_header(model::as_bytes(read(root / "pkg" / "arkci.vrz")))->volume_count;
    put("pkg/" + package::volume_file_name(count) , "old");
    put("pkg/" + package::volume_file_name(count + 1), "old");
    pack_sample();
    EXPECT_FALSE(fs::exists(root / "pkg" / package::volume_file_name(count)));
    EXPECT_FALSE(fs::exists(root / "pkg" / package::volume_file_name(count + 1)));
    EXPECT_TRUE(fs::exists(root / "pkg" / "ray040.vrz")) << "only the run right after the package's own";
}

TEST_F(package_tools, the_commands_parse_their_arguments) {
    pack_sample();
    CLI::App app;
    tools::add_package_commands(app);
    const std::string pkg = (root / "pkg").string();
    EXPECT_NO_THROW(app.parse(std::vector<std::string>{pkg, "verify"}));  // CLI11 takes them reversed
    try {
        app.parse(std::vector<std::string>{pkg, "extract"});
        ADD_FAILURE() << "extract without OUTDIR or --list must fail";
    } catch (const tools::command_failed& e) {
        EXPECT_EQ(e.exit_code(), 2);
    }
    const std::string out = (root / "cli_out").string();
    EXPECT_NO_THROW(app.parse(std::vector<std::string>{out, pkg, "extract"}));
    EXPECT_TRUE(fs::exists(root / "cli_out" / "a.txt"));
}

}  // namespace
