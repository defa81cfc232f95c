#include "SettingValues.h"
#include "TestBlocks.h"

#include <gtest/gtest.h>

#include <set>

using namespace vellmark;

namespace {

std::size_t Index(std::string_view name) {
    const int i = FindNamedSetting(name);
    EXPECT_GE(i, 0) << name;
    return static_cast<std::size_t>(i);
}

} // namespace

TEST(SettingValues, NamesAreUniqueAndCoverEveryField) {
    std::set<std::string> names;
    for (const NamedSetting& n : NamedSettings())
        EXPECT_TRUE(names.insert(std::string(NameOf(n))).second) << NameOf(n);
    // 20 printable settings, 30 switch entries (26 controlled, 4 carried), 3 x 7 form fields.
    EXPECT_EQ(names.size(), 20u + 30u + 21u);
    for (const char* n : {"Font1", "SheetGuideLoadTime", "InternationalCharset", "ReceiveMode",
                          "SheetGuideLoading", "MSW2-4", "MSW3-1", "MSW3-5", "MSW3-6",
                          "Form1.PageLength", "Form3.CutSheetPositionCorrection"})
        EXPECT_TRUE(names.count(n)) << n;
}

TEST(SettingValues, DecodeShowsWhatThePagesShow) {
    SettingsBlock b = FactoryDefaults;
    test::Put(b, 16, "7");  // Font1: code in no list
    test::Put(b, 22, "9");  // QuietPrint: no button
    test::Put(b, 64, "13"); // PaperThickness 13: no entry
    test::Put(b, 67, "01"); // PrintPressure 1
    b[4] = 0x01;            // country code 1 shows 日本
    b[7] = 0x0A;            // MSW2-2 and carried MSW2-4
    const SettingValues v = SettingValues::Decode(b);
    EXPECT_EQ(v.Get(Index("Font1")), SettingValue(RawCode{"7"}));
    EXPECT_EQ(v.Get(Index("QuietPrint")), SettingValue(RawCode{"9"}));
    EXPECT_EQ(v.Get(Index("PaperThickness")), SettingValue(RawCode{"13"}));
    EXPECT_EQ(v.Get(Index("PrintPressure")), SettingValue(std::string("1")));
    EXPECT_EQ(v.Get(Index("InternationalCharset")), SettingValue(std::string("日本")));
    EXPECT_EQ(v.Get(Index("MSW2-4")), SettingValue(1));
    EXPECT_EQ(v.Get(Index("SheetGuidePaperOutDetect")), SettingValue(1));
    EXPECT_EQ(v.Get(Index("Form2.RightMargin")), SettingValue(136));
    EXPECT_EQ(FormatValue(RawCode{"\x01\""}), "code \"\\x01\\x22\"");

    // Raw codes keep their bytes; the country code 1 is written back as 0.
    SettingsBlock out = b;
    v.EncodeInto(out);
    EXPECT_EQ(out[16], '7');
    EXPECT_EQ(out[22], '9');
    EXPECT_EQ(out[64], '1');
    EXPECT_EQ(out[65], '3');
    EXPECT_EQ(out[4], 0x00);
    EXPECT_EQ(out[7], 0x0A);
}

TEST(SettingValues, SetAppliesThePagesRanges) {
    SettingValues v = SettingValues::Decode(FactoryDefaults);
    // A value is an optional sign and ASCII digits, within the page's range.
    const struct {
        const char* name;
        const char* text;
        bool taken;
    } rows[] = {
        {"PageLength", "+7", true},
        {"PageLength", "1", true},
        {"PageLength", "99", true},
        {"PageLength", "100", false},
        {"PageLength", "0", false},
        {"PageLength", "6x", false},
        {"PageLength", "", false},
        {"PageLength", "+", false},
        {"PageLength", " 5", false},
        {"PageLength", "5 ", false},
        {"PageLength", "0x10", false},
        {"PageLength", "99999999999999999999", false},
        {"CutSheetPositionCorrection", "-0", true},
        {"CutSheetPositionCorrection", "+-0", false},
        {"CutSheetPositionCorrection", "--1", false},
        {"CutSheetCentering", "5", false},
        {"CutSheetCentering", "10", true},
        {"SheetGuideLoadTime", "6", false},
        {"SheetGuideLoadTime", "2", true},
        {"Font2", "クーリ", false}, // values must be whole entries
        {"Font2", "クーリエ", true},
        {"QuietPrint", "2", false},
        {"MSW3-5", "1", true},
        {"InternationalCharset", "ドイツ", true},
    };
    for (const auto& r : rows) {
        const std::string error = v.Set(Index(r.name), r.text);
        EXPECT_EQ(error.empty(), r.taken) << r.name << "=" << r.text << ": " << error;
    }
    // The user's text is quoted with control characters escaped: one line, nothing for the
    // terminal to act on.
    EXPECT_EQ(v.Set(Index("PageLength"), "1\n2"), "PageLength=\"1\\n2\": not an integer");
    EXPECT_EQ(Quoted("\x1B[31mゴシック\"\\\xC2\x9B\xFF\x7F\t"),
              "\"\\x1B[31mゴシック\\\"\\\\\\xC2\\x9B\\xFF\\x7F\\t\"");

    EXPECT_EQ(v.Set(Index("Form2.LeftMargin"), "135"), "");
    EXPECT_EQ(v.Set(Index("Form2.RightMargin"), "100"), "");
    EXPECT_NE(v.CheckForm(2), "");
    EXPECT_EQ(v.CheckForm(1), "");
    EXPECT_EQ(v.Set(Index("Form2.RightMargin"), "136"), "");
    EXPECT_EQ(v.CheckForm(2), "");

    SettingsBlock b = FactoryDefaults;
    v.EncodeInto(b);
    EXPECT_EQ(b[38], '9');
    EXPECT_EQ(b[18], '2');
    EXPECT_EQ(b[11], 0x01);
    EXPECT_EQ(b[4], 0x04);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[105]), 29),
              "66,135,136,120,000,046,054,00");
}
