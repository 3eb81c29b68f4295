// codepage_check.exe: the code page 932 conversions of the Windows build, checked on the
// machine's own tables (run under Wine by codepage_conversions.sh). The same cases as the
// host build's tests, plus characters that Windows would otherwise map to a look-alike.
// Prints one line per case; exit code 0 when every case holds.

#include <cstdio>
#include <optional>
#include <string>

#include "platform/codepage.hpp"

namespace {

int failures = 0;

void check(const char* name, bool holds) {
    std::printf("%s %s\n", holds ? "ok  " : "FAIL", name);
    if (!holds) ++failures;
}

std::string utf8(std::u8string_view s) { return std::string(s.begin(), s.end()); }

void both_ways(const char* name, const std::string& cp932, const std::string& text_utf8) {
    check(name, platform::cp932_to_utf8(cp932) == text_utf8 && platform::utf8_to_cp932(text_utf8) == cp932);
}

}  // namespace

int main() {
    both_ways("empty", "", "");
    both_ways("ascii", "abc", "abc");
    both_ways("backslash and tilde", "C:\\a~b", "C:\\a~b");
    both_ways("kanji with trail byte 0x5C", "表示日本語", utf8(u8"表示日本語"));
    both_ways("half-width katakana", "ﾌｧｲﾙ", utf8(u8"ﾌｧｲﾙ"));
    both_ways("zero byte", std::string("a\0b", 3), std::string("a\0b", 3));
    both_ways("NEC circled digit", "\x87\x40", utf8(u8"\u2460"));

    for (const std::string& bad : {std::string("\x80"), std::string("\x82"), std::string("a\xff"),
                                   std::string("\x82\x20"), std::string("\xfd\x40"), std::string("\xa0")}) {
        std::string name = "refuses invalid bytes";
        for (unsigned char c : bad) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02X", c);
            name += hex;
        }
        check(name.c_str(), !platform::cp932_to_utf8(bad) && !platform::cp932_to_utf16(bad));
    }

    check("refuses cut UTF-8", !platform::utf8_to_cp932("\xc3"));
    check("refuses Thai", !platform::utf8_to_cp932(utf8(u8"\u0E01")));
    check("refuses emoji", !platform::utf8_to_cp932(utf8(u8"\U0001F600")));
    check("refuses e-acute rather than a look-alike", !platform::utf8_to_cp932(utf8(u8"caf\u00e9")));
    check("utf16: kanji", platform::utf16_to_cp932(u"日本") == "日本");
    check("utf16: Thai becomes ?", platform::utf16_to_cp932(u"a\u0E01b") == "a?b");
    check("utf16: a surrogate pair is one ?", platform::utf16_to_cp932(u"x\U0001F600y") == "x?y");
    check("utf16: lone surrogate becomes ?",
          platform::utf16_to_cp932(std::u16string{u'a', char16_t(0xDC00), u'b'}) == "a?b");
    check("utf16: e-acute becomes ?", platform::utf16_to_cp932(u"caf\u00e9") == "caf?");
    check("cp932 to utf16", platform::cp932_to_utf16("ｱ日") == std::u16string(u"\uFF71\u65E5"));

    std::string long_text;
    for (int i = 0; i < 5000; ++i) long_text += "日本語";
    const auto long_utf8 = platform::cp932_to_utf8(long_text);
    check("long text",
          long_utf8 && long_utf8->size() == 5000u * 9 && platform::utf8_to_cp932(*long_utf8) == long_text);

    std::printf("%d failure(s)\n", failures);
    return failures == 0 ? 0 : 1;
}
