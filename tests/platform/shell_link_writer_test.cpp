// The .lnk writer, checked byte by byte and with an independent reader, lnkinfo (liblnk-utils).

#include "platform/shell_link_writer.hpp"

#include <cstdio>
#include <cstdlib>

#include "sandbox_fixture.hpp"

namespace platform::testing {
namespace {

std::string u8text(std::u8string_view s) { return std::string(s.begin(), s.end()); }

std::uint32_t u32_at(const std::vector<std::byte>& b, std::size_t at) {
    return std::to_integer<std::uint32_t>(b[at]) | std::to_integer<std::uint32_t>(b[at + 1]) << 8 |
           std::to_integer<std::uint32_t>(b[at + 2]) << 16 | std::to_integer<std::uint32_t>(b[at + 3]) << 24;
}

std::uint16_t u16_at(const std::vector<std::byte>& b, std::size_t at) {
    return static_cast<std::uint16_t>(std::to_integer<unsigned>(b[at]) | std::to_integer<unsigned>(b[at + 1])
                                                                             << 8);
}

/// lnkinfo's report of a file, read with code page 932; fails the test when lnkinfo is missing.
std::string lnkinfo(const fs::path& file) {
    if (std::system("command -v lnkinfo >/dev/null 2>&1") != 0) {
        ADD_FAILURE() << "lnkinfo is not installed (package liblnk-utils; scripts/bootstrap.sh installs it)";
        return {};
    }
    std::string command = "lnkinfo -c windows-932 '" + file.string() + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run lnkinfo";
        return {};
    }
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0) << out;
    return out;
}

shell_link japanese_link() {
    shell_link link;
    link.target = "C:\\Program Files\\表示ソフト\\app.exe";
    link.arguments = "/open \"日本語.txt\"";
    link.description = "表示ソフト Viewer";
    link.icon_path = "C:\\WINDOWS\\SYSTEM\\icons.dll";
    link.icon_index = 3;
    link.working_directory = "C:\\Program Files\\表示ソフト";
    link.show_command = 7;
    link.hot_key = 0x0641;  // Shift+A
    return link;
}

class shell_link_writer : public sandbox_test {};

TEST_F(shell_link_writer, lnkinfo_reads_every_field) {
    shell_link_target target;
    target.attributes = Archive;
    target.size = 4321;
    target.written = file_time_from_unix(915148800);  // 1999-01-01 00:00:00 UTC
    auto bytes = write_shell_link(japanese_link(), target);
    ASSERT_TRUE(bytes);
    fs::path file = root_ / "link.lnk";
    write_host(file, std::string(reinterpret_cast<const char*>(bytes->data()), bytes->size()));

    std::string report = lnkinfo(file);
    for (std::u8string_view line : {
             std::u8string_view(u8"Local path\t\t\t: C:\\Program Files\\表示ソフト\\app.exe\n"),
             std::u8string_view(u8"Command line arguments\t\t: /open \"日本語.txt\"\n"),
             std::u8string_view(u8"Description\t\t\t: 表示ソフト Viewer\n"),
             std::u8string_view(u8"Working directory\t\t: C:\\Program Files\\表示ソフト\n"),
             std::u8string_view(u8"Icon location\t\t\t: C:\\WINDOWS\\SYSTEM\\icons.dll\n"),
             std::u8string_view(u8"Icon index\t\t\t: 3\n"),
             std::u8string_view(u8"File size\t\t\t: 4321 bytes\n"),
             std::u8string_view(u8"Modification time\t\t: Jan 01, 1999 00:00:00"),
             std::u8string_view(u8"Drive type\t\t\t: Fixed (3)\n"),
         })
        EXPECT_NE(report.find(u8text(line)), std::string::npos) << u8text(line) << "\nin:\n" << report;
    // lnkinfo 20181227 prints the file size in its show-command and hot-key lines, so those
    // two header fields are checked in the bytes.
    EXPECT_EQ(u32_at(*bytes, 0x3C), 7u);
    EXPECT_EQ(u16_at(*bytes, 0x40), 0x0641u);
}

TEST_F(shell_link_writer, header_layout) {
    auto bytes = write_shell_link(japanese_link());
    ASSERT_TRUE(bytes);
    const std::uint8_t clsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                    0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    EXPECT_EQ(u32_at(*bytes, 0), 0x4Cu);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(std::to_integer<int>((*bytes)[4 + i]), clsid[i]) << i;
    EXPECT_EQ(u32_at(*bytes, 0x14), 0x76u);  // LinkInfo, name, working folder, arguments, icon; ANSI
    EXPECT_EQ(u32_at(*bytes, 0x38), 3u);
    const shell_link link = japanese_link();
    // The LinkInfo: its header, the volume id with an empty label, the path and an empty suffix.
    EXPECT_EQ(u32_at(*bytes, 0x4C), 0x1C + 17 + link.target.size() + 1 + 1);
    std::size_t strings = 0;
    for (const std::string* s :
         {&link.description, &link.working_directory, &link.arguments, &link.icon_path})
        strings += 2 + s->size();
    EXPECT_EQ(bytes->size(), 0x4C + u32_at(*bytes, 0x4C) + strings + 4);
    // StringData begins with the description's byte count.
    EXPECT_EQ(u16_at(*bytes, 0x4C + u32_at(*bytes, 0x4C)), link.description.size());
    EXPECT_EQ(u32_at(*bytes, bytes->size() - 4), 0u);
}

TEST_F(shell_link_writer, empty_fields_are_left_out_with_their_flags) {
    shell_link link;
    link.target = "C:\\a.exe";
    auto bytes = write_shell_link(link);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(u32_at(*bytes, 0x14), static_cast<std::uint32_t>(HasLinkInfo));
    const std::size_t link_info = 0x1C + 17 + 9 + 1;  // header, volume id, "C:\a.exe" + 0, empty suffix
    EXPECT_EQ(u32_at(*bytes, 0x4C), link_info);
    EXPECT_EQ(bytes->size(), 0x4C + link_info + 4);

    fs::path file = root_ / "plain.lnk";
    write_host(file, std::string(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    EXPECT_NE(lnkinfo(file).find("Local path\t\t\t: C:\\a.exe\n"), std::string::npos);
}

TEST_F(shell_link_writer, unstorable_texts_are_refused) {
    shell_link with_zero = japanese_link();
    with_zero.arguments = std::string("a\0b", 3);
    EXPECT_FALSE(write_shell_link(with_zero));
    shell_link too_long = japanese_link();
    too_long.description = std::string(0x10000, 'x');
    EXPECT_FALSE(write_shell_link(too_long));
    too_long.description.pop_back();
    EXPECT_TRUE(write_shell_link(too_long));
}

TEST_F(shell_link_writer, the_sandbox_writes_real_link_files) {
    host_system& sys = open();
    write_host(host(u8"C/Program Files/表示ソフト/app.exe"), std::string(100, 'x'));
    const std::string programs = "C:\\WINDOWS\\Profiles\\user\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ";
    const std::string link_path = programs + "\\表示ソフト.lnk";
    ASSERT_TRUE(sys.create_shell_link(japanese_link(), link_path));
    shell_link changed = japanese_link();
    changed.arguments = "/second";
    ASSERT_TRUE(sys.create_shell_link(changed, link_path));  // replaces the first

    fs::path file = host(u8"C/WINDOWS/Profiles/user/ｽﾀｰﾄ ﾒﾆｭｰ/ﾌﾟﾛｸﾞﾗﾑ/表示ソフト.lnk");
    ASSERT_TRUE(fs::is_regular_file(file));
    std::string report = lnkinfo(file);
    EXPECT_NE(report.find("Command line arguments\t\t: /second\n"), std::string::npos) << report;
    EXPECT_NE(report.find("File size\t\t\t: 100 bytes\n"), std::string::npos) << report;
    EXPECT_NE(report.find(u8text(u8"Local path\t\t\t: C:\\Program Files\\表示ソフト\\app.exe\n")),
              std::string::npos)
        << report;

    EXPECT_FALSE(sys.create_shell_link(japanese_link(), "C:\\Nowhere\\x.lnk"));
    ASSERT_EQ(sys.set_attributes(link_path, ReadOnly), file_error::None);
    EXPECT_FALSE(sys.create_shell_link(japanese_link(), link_path));
}

}  // namespace
}  // namespace platform::testing
