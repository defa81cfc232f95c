// SPDX-License-Identifier: Apache-2.0
#include "SettingValues.h"
#include "TestBlocks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

using namespace vellmark;

namespace {

std::size_t Index(std::string_view name) {
    const int i = FindNamedSetting(name);
    EXPECT_GE(i, 0) << name;
    return static_cast<std::size_t>(i);
}

// Every byte of `got` is `expected`'s, or names the first that is not.
std::string FirstDifference(const SettingsBlock& got, const SettingsBlock& expected) {
    for (std::size_t off = 0; off < kBlockSize; ++off)
        if (got[off] != expected[off]) {
            char text[64];
            std::snprintf(text, sizeof text, "byte %zu is 0x%02X, expected 0x%02X", off, got[off],
                          expected[off]);
            return text;
        }
    return {};
}

// Takes `text` for setting `name` in the values of NonFactoryBlock() and encodes them into a
// copy of that block whose bytes where `code` belongs hold '#', so that an encoder that writes
// nothing, or writes elsewhere, shows: the text must be taken, and the block must come out as
// NonFactoryBlock() with `code` at `offset`. Returns the block written.
SettingsBlock ExpectWritten(const std::string& name, const std::string& text, std::size_t offset,
                            const std::string& code) {
    SCOPED_TRACE(name + "=" + text);
    SettingValues v = SettingValues::Decode(test::NonFactoryBlock());
    EXPECT_EQ(v.Set(Index(name), text), "");
    SettingsBlock got = test::NonFactoryBlock(), expected = got;
    test::Put(got, offset, std::string(code.size(), '#'));
    v.EncodeInto(got);
    test::Put(expected, offset, code);
    EXPECT_EQ(FirstDifference(got, expected), "");
    return got;
}

} // namespace

TEST(SettingValues, NamesAreUniqueAndFound) {
    std::set<std::string> names;
    for (const NamedSetting& n : NamedSettings()) {
        EXPECT_TRUE(names.insert(std::string(NameOf(n))).second) << NameOf(n);
        EXPECT_EQ(NameOf(NamedSettings()[Index(NameOf(n))]), NameOf(n));
    }
    EXPECT_EQ(FindNamedSetting("Form4.PageLength"), -1);
    EXPECT_EQ(FindNamedSetting("font1"), -1);
}

// Every number at its minimum and its maximum is taken and written as its digits, every other
// byte of the block staying as it was; one past either end is refused and keeps the value.
TEST(SettingValues, NumbersAtTheirBoundsLandInTheirDigits) {
    struct Row {
        std::string name;
        int min, max;
        std::size_t offset, width;
    };
    std::vector<Row> rows = {
        {"PageLength", 1, 99, 38, 2},
        {"ContinuousLoadPosition", 0, 130, 41, 3},
        {"CutSheetLoadPosition", 0, 130, 49, 3},
        {"PostcardLoadPosition", 0, 130, 53, 3},
        {"CutSheetPositionCorrection", 0, 68, 57, 2},
        {"CutSheetCentering", 10, 68, 28, 2},
        {"ContinuousCentering", 10, 68, 31, 2},
        {"SheetGuideLoadTime", 2, 5, 172, 1},
    };
    for (int form = 1; form <= 3; ++form) {
        const std::string f = "Form" + std::to_string(form) + ".";
        const std::size_t base = 75 + 30 * static_cast<std::size_t>(form - 1);
        for (const Row& r : std::vector<Row>{{"PageLength", 1, 99, 0, 2},
                                             {"LeftMargin", 0, 135, 3, 3},
                                             {"RightMargin", 1, 136, 7, 3},
                                             {"ContinuousLoadPosition", 0, 130, 11, 3},
                                             {"CutSheetLoadPosition", 0, 130, 19, 3},
                                             {"PostcardLoadPosition", 0, 130, 23, 3},
                                             {"CutSheetPositionCorrection", 0, 68, 27, 2}})
            rows.push_back({f + r.name, r.min, r.max, base + r.offset, r.width});
    }
    for (const Row& r : rows) {
        for (const int value : {r.min, r.max}) {
            char digits[8];
            std::snprintf(digits, sizeof digits, "%0*d", static_cast<int>(r.width), value);
            const SettingsBlock got =
                ExpectWritten(r.name, std::to_string(value), r.offset, digits);
            EXPECT_EQ(SettingValues::Decode(got).Get(Index(r.name)), SettingValue(value))
                << r.name << "=" << value;
        }
        SettingValues v = SettingValues::Decode(test::NonFactoryBlock());
        const SettingValue before = v.Get(Index(r.name));
        for (const int value : {r.min - 1, r.max + 1}) {
            const std::string error = v.Set(Index(r.name), std::to_string(value));
            EXPECT_EQ(error, r.name + "=\"" + std::to_string(value) + "\": out of range " +
                                 std::to_string(r.min) + " to " + std::to_string(r.max));
            EXPECT_EQ(v.Get(Index(r.name)), before) << r.name << "=" << value;
        }
    }
}

// Every list at its first and its last entry writes that entry's code; a code in no list is
// shown as such and keeps its bytes.
TEST(SettingValues, ListsAtTheirEndsWriteTheirCodes) {
    const struct {
        const char* name;
        std::size_t offset;
        const char* unknownCode;
        // A radio pair's ends are 0 and 1.
        const char *first = "0", *firstCode = "0", *last = "1", *lastCode = "1";
    } rows[] = {
        {"PaperThickness", 64, "13", "オート", "00", "12", "12"},
        {"PrintPressure", 67, "X3", "-6", "FA", "3", "03"},
        {"PrintPositionAdjust", 70, "F0", "-1.3", "FD", "1.3", "03"},
        {"Reduction", 62, "2", "縮小なし", "0", "４／５縮小", "5"},
        {"FormSelect", 73, "4", "選択なし", "0", "書式３", "3"},
        {"Font1", 16, "\"", "標準", "0", "OCR-B", "4"},
        {"Font2", 18, "\x7F", "標準", "0", "OCR-B", "4"},
        {"KanjiCodeTable", 20, "3", "JIS1978年度版", "0", "JIS1990年度版", "2"},
        {"AutoReturnTime", 168, "10", "8秒", "08", "自動戻り無し", "00"},
        {"QuietPrint", 22, "9"},
        {"Typeface", 60, "/"},
        {"PostcardMode", 24, "2"},
    };
    for (const auto& r : rows) {
        for (const auto& [text, code] : {std::pair{r.first, r.firstCode}, {r.last, r.lastCode}}) {
            const SettingsBlock got = ExpectWritten(r.name, text, r.offset, code);
            EXPECT_EQ(FormatValue(SettingValues::Decode(got).Get(Index(r.name))), text) << r.name;
        }
        SettingsBlock odd = test::NonFactoryBlock();
        test::Put(odd, r.offset, r.unknownCode);
        const SettingValues v = SettingValues::Decode(odd);
        EXPECT_EQ(v.Get(Index(r.name)), SettingValue(RawCode{r.unknownCode})) << r.name;
        SettingsBlock back = odd;
        v.EncodeInto(back);
        EXPECT_EQ(FirstDifference(back, odd), "") << r.name << " with code " << r.unknownCode;
    }
}

// Each switch bit set to 0 and to 1 among neighbours that all hold the other value: exactly
// its own bit of its own byte changes. The country takes the three lowest bits of MSW1.
TEST(SettingValues, EverySwitchBitIsItsOwnBit) {
    for (const SwitchBitDesc& bit : AllSwitchBits()) {
        if (bit.control == BitControl::Country)
            continue;
        for (const int value : {0, 1}) {
            SettingsBlock start = test::NonFactoryBlock();
            for (std::size_t off : {4, 5, 7, 8, 10, 11, 13, 14})
                start[off] = value ? 0x00 : 0x0F;
            start[4] = (start[4] & 0x08) | 0x05; // スウェーデン: a country that is kept
            SettingValues v = SettingValues::Decode(start);
            EXPECT_EQ(v.Set(Index(bit.name), std::to_string(value)), "") << bit.name;
            SettingsBlock got = start;
            v.EncodeInto(got);
            const std::size_t k = static_cast<std::size_t>(bit.k - 1);
            SettingsBlock expected = start;
            expected[4 + 3 * static_cast<std::size_t>(bit.n - 1) + k / 4] ^= 1u << (k % 4);
            EXPECT_EQ(FirstDifference(got, expected), "") << bit.name << "=" << value;
            EXPECT_EQ(SettingValues::Decode(got).Get(Index(bit.name)), SettingValue(value))
                << bit.name << "=" << value;
        }
    }
    // The country: each entry writes its code into the three lowest bits of MSW1, beside
    // ReceiveMode; the codes 1, 6 and 7 are offered by no entry, show 日本 and are written as 0.
    const std::pair<const char*, int> countries[] = {
        {"日本", 0}, {"アメリカ", 2}, {"イギリス", 3}, {"ドイツ", 4}, {"スウェーデン", 5}};
    for (const auto& [country, code] : countries) {
        for (const int start : {1, 6, 7 + 8}) {
            SettingsBlock b = test::NonFactoryBlock();
            b[4] = static_cast<std::uint8_t>(start);
            SettingValues v = SettingValues::Decode(b);
            EXPECT_EQ(v.Get(Index("InternationalCharset")), SettingValue(std::string("日本")));
            EXPECT_EQ(v.Set(Index("InternationalCharset"), country), "");
            SettingsBlock expected = b;
            expected[4] = static_cast<std::uint8_t>((start & 8) | code);
            v.EncodeInto(b);
            EXPECT_EQ(FirstDifference(b, expected), "") << country << " over code " << start;
            EXPECT_EQ(SettingValues::Decode(b).Get(Index("InternationalCharset")),
                      SettingValue(std::string(country)));
        }
    }
}

TEST(SettingValues, SetRefusesTextThatIsNotAValue) {
    SettingValues v = SettingValues::Decode(FactoryDefaults);
    // A number is an optional sign and ASCII digits; an entry is a whole entry; a radio or a
    // bit is 0 or 1.
    const struct {
        const char* name;
        std::vector<std::string> taken, refused;
    } rows[] = {
        {"PageLength",
         {"+7"},
         {"6x", "", "+", "-", " 5", "5 ", "0x10", "5:", "/5", "99999999999999999999"}},
        {"CutSheetPositionCorrection", {"-0", "+0"}, {"", "+-0", "--1"}},
        {"Font2", {"クーリエ"}, {"クーリ", "クーリエ "}},
        {"QuietPrint", {}, {"2", "01"}},
        {"MSW3-5", {"1"}, {"-1"}},
        {"InternationalCharset", {"ドイツ"}, {""}},
    };
    for (const auto& r : rows)
        for (const bool taken : {true, false})
            for (const std::string& text : taken ? r.taken : r.refused) {
                const std::string error = v.Set(Index(r.name), text);
                EXPECT_EQ(error.empty(), taken) << r.name << "=" << text << ": " << error;
            }
    // A sign is the number's own: +7 is 7, and 1 and 0 pick the second and the first button.
    EXPECT_EQ(v.Get(Index("PageLength")), SettingValue(7));
    for (const int button : {1, 0}) {
        EXPECT_EQ(v.Set(Index("QuietPrint"), std::to_string(button)), "");
        EXPECT_EQ(v.Get(Index("QuietPrint")), SettingValue(button));
    }

    // The user's text is quoted with control characters and broken UTF-8 escaped: one line,
    // nothing for the terminal to act on.
    EXPECT_EQ(v.Set(Index("PageLength"), "1\n2"), "PageLength=\"1\\n2\": not an integer");
    EXPECT_EQ(Quoted("\x1B[31mゴシック\"\\\xC2\x9B\xFF\x7F\t\x1F"),
              "\"\\x1B[31mゴシック\\\"\\\\\\xC2\\x9B\\xFF\\x7F\\t\\x1F\"");
    EXPECT_EQ(Quoted("\xE3\xC2\xB4|\xC2"), "\"\\xE3´|\\xC2\"");
    // JSON: valid whatever the bytes; a byte outside well-formed UTF-8 becomes its own code point.
    const std::pair<std::string, std::string> json[] = {
        {"a\"b\\c/", "\"a\\\"b\\\\c/\""},
        {std::string("\x01\n\x1F\x7F\0", 5), "\"\\u0001\\u000a\\u001f\\u007f\\u0000\""},
        {"プリンタ é \xC2\x85", "\"プリンタ é \xC2\x85\""},
        {"\xC3(\xFF\xE3\x83", "\"\\u00c3(\\u00ff\\u00e3\\u0083\""},
        {"\xED\xA0\x80\xF4\x90\x80\x80", "\"\\u00ed\\u00a0\\u0080\\u00f4\\u0090\\u0080\\u0080\""},
    };
    for (const auto& [text, quoted] : json)
        EXPECT_EQ(JsonQuoted(text), quoted) << Quoted(text);
    // Terminal columns: wide characters two, combining marks none, a broken byte one.
    for (const auto& [text, width] : {std::pair<std::string, std::size_t>{"ab", 2},
                                      {"プリンタ", 8},
                                      {"e\xCC\x81ｶ", 2},
                                      {"\xC0\x80\xE3\x83", 4}})
        EXPECT_EQ(DisplayWidth(text), width) << Quoted(text);
    EXPECT_EQ(FormatValue(RawCode{std::string("\x01\"\x7F\\ ~", 6)}),
              "code \"\\x01\\x22\\x7F\\x5C ~\"");
}

// The margin rule of a stored form: left below right, each form on its own.
TEST(SettingValues, LeftMarginMustLieBelowTheRight) {
    for (const auto& [left, right, kept] : {std::tuple{"0", "1", true},
                                            {"135", "136", true},
                                            {"100", "100", false},
                                            {"101", "100", false}}) {
        SettingValues v = SettingValues::Decode(FactoryDefaults);
        ASSERT_EQ(v.Set(Index("Form2.LeftMargin"), left) + v.Set(Index("Form2.RightMargin"), right),
                  "");
        EXPECT_EQ(v.CheckForm(2).empty(), kept) << left << "/" << right;
        EXPECT_EQ(v.CheckForm(1) + v.CheckForm(3), "");
    }
}
