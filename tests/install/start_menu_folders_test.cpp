#include "install/start_menu_folders.hpp"

#include <gtest/gtest.h>

#include "tests/install/installation_sandbox.hpp"

namespace {

using installation_test::sandbox;

// machine.json is UTF-8 while narrow literals here are code page 932.
std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

struct derive_case {
    const char* what;
    std::string default_folder;
    std::string user_name;
    std::optional<std::string> expected;
};

class programs_folder_derivation : public testing::TestWithParam<derive_case> {};

TEST_P(programs_folder_derivation, replaces_default_by_the_user_name) {
    EXPECT_EQ(install::derive_user_programs_folder(GetParam().default_folder, GetParam().user_name),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    cases, programs_folder_derivation,
    testing::Values(derive_case{"profile", "C:\\WINDOWS\\Profiles\\Default\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ", "taro",
                                "C:\\WINDOWS\\Profiles\\taro\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ"},
                    derive_case{"japanese_user", "D:\\W\\Profiles\\Default\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ", "山田",
                                "D:\\W\\Profiles\\山田\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ"},
                    // The first "Default" ends the head, whatever follows it.
                    derive_case{"first_default_counts", "C:\\Default\\Profiles\\Default\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ",
                                "taro", "C:\\taro\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ"},
                    derive_case{"empty_user_name", "C:\\WINDOWS\\Profiles\\Default\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ", "",
                                std::nullopt},
                    derive_case{"no_default", "C:\\WINDOWS\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ", "taro", std::nullopt},
                    derive_case{"no_start_menu", "C:\\WINNT\\Profiles\\Default User\\Start Menu\\Programs",
                                "taro", std::nullopt},
                    derive_case{"lower_case_default", "C:\\WINDOWS\\Profiles\\default\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ",
                                "taro", std::nullopt},
                    derive_case{"start_menu_first", "ｽﾀｰﾄ\\Default", "taro", std::nullopt}),
    [](const testing::TestParamInfo<derive_case>& info) { return std::string(info.param.what); });

struct machine_case {
    const char* what;
    std::string machine_json;
    std::optional<std::string> default_folder;  ///< nullopt: no Programs folders found
    std::optional<std::string> user_folder;
};

class programs_folders_of_machine : public testing::TestWithParam<machine_case> {};

TEST_P(programs_folders_of_machine, are_found_through_the_registry) {
    sandbox box(GetParam().machine_json);
    const auto folders = install::find_programs_folders(box.sys());
    ASSERT_EQ(folders.has_value(), GetParam().default_folder.has_value());
    if (!folders) return;
    EXPECT_EQ(folders->default_folder, *GetParam().default_folder);
    EXPECT_EQ(folders->user_folder, GetParam().user_folder);
}

INSTANTIATE_TEST_SUITE_P(
    machines, programs_folders_of_machine,
    testing::Values(
        machine_case{"profiles", "", installation_test::default_programs, installation_test::user_programs},
        machine_case{"user_name_unreadable", R"({"user_name": null})", installation_test::default_programs,
                     std::nullopt},
        machine_case{"user_name_empty", R"({"user_name": ""})", installation_test::default_programs,
                     std::nullopt},
        // The derivation decides when it can, whatever the current user's own value says.
        machine_case{"derivation_wins",
                     utf8(u8R"({"user_name": "taro", "user_programs_folder": "C:\\Elsewhere\\Programs"})"),
                     installation_test::default_programs, "C:\\WINDOWS\\Profiles\\taro\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ"},
        machine_case{"english_folders_use_the_users_own_value",
                     R"({"windows_directory": "C:\\WINNT", "system_directory": "C:\\WINNT\\SYSTEM32",
                         "programs_folder": "C:\\WINNT\\Profiles\\Default User\\Start Menu\\Programs",
                         "user_programs_folder": "C:\\WINNT\\Profiles\\taro\\Start Menu\\Programs"})",
                     "C:\\WINNT\\Profiles\\Default User\\Start Menu\\Programs",
                     "C:\\WINNT\\Profiles\\taro\\Start Menu\\Programs"},
        machine_case{"no_markers_and_no_user_value",
                     R"({"programs_folder": "C:\\Menu\\Programs", "user_programs_folder": null})",
                     "C:\\Menu\\Programs", std::nullopt},
        machine_case{
            "user_value_equal_to_default",
            R"({"programs_folder": "C:\\Menu\\Programs", "user_programs_folder": "C:\\Menu\\Programs"})",
            "C:\\Menu\\Programs", std::nullopt},
        machine_case{"no_programs_value", R"({"programs_folder": null})", std::nullopt, std::nullopt}),
    [](const testing::TestParamInfo<machine_case>& info) { return std::string(info.param.what); });

TEST(programs_folders, a_value_longer_than_the_buffer_is_unreadable) {
    sandbox box;
    const std::string key = install::default_shell_folders_key;
    auto& sys = box.sys();
    ASSERT_TRUE(sys.set_value(platform::root_key::Users, key, "Programs", "C:\\" + std::string(506, 'a')));
    EXPECT_TRUE(install::find_programs_folders(sys).has_value()) << "509 bytes and the zero fit";
    ASSERT_TRUE(sys.set_value(platform::root_key::Users, key, "Programs", "C:\\" + std::string(507, 'a')));
    EXPECT_FALSE(install::find_programs_folders(sys).has_value());
}

TEST(programs_folders, a_missing_shell_folders_key_gives_none) {
    sandbox box;
    auto& sys = box.sys();
    const std::string key = install::default_shell_folders_key;
    ASSERT_TRUE(sys.delete_value(platform::root_key::Users, key, "Programs"));
    ASSERT_TRUE(sys.delete_key(platform::root_key::Users, key));
    EXPECT_FALSE(install::find_programs_folders(sys).has_value());
}

}  // namespace
