// SPDX-License-Identifier: Apache-2.0
#include "SettingValues.h"
#include "Settings.h"
#include "TestBlocks.h"

#include <gtest/gtest.h>

using namespace vellmark;
using vellmark::test::Put;

namespace {

std::string Bytes(const SettingsBlock& b, std::size_t off, std::size_t n) {
    return std::string(reinterpret_cast<const char*>(b.data() + off), n);
}

} // namespace

// What a code in no list decodes to, and what a text in no list (or an index no button has)
// writes: the no-match code, or nothing at all.
TEST(Codecs, CodesAndTextsInNoList) {
    const struct {
        Setting id;
        std::size_t offset;
        const char* code;    // in the block
        const char* decoded; // nullptr: decodes to nothing
        const char* text;    // then encoded
        const char* written;
    } rows[] = {
        {Setting::PaperThickness, 64, "13", "13", "20", "13"},
        {Setting::PaperThickness, 64, "07", "7", "19", "19"},
        {Setting::PrintPressure, 67, "FC", "-4", "-7", "FC"},
        {Setting::PrintPressure, 67, "09", "9", "10", "09"},
        {Setting::PrintPressure, 67, "X3", nullptr, "-1", "FF"},
        {Setting::PrintPositionAdjust, 70, "F0", nullptr, "2.0", "F0"},
        {Setting::Reduction, 62, "2", nullptr, "", "2"},
        {Setting::AutoReturnTime, 168, "10", nullptr, "whatever", "00"},
        {Setting::Font1, 16, "5", nullptr, "Helvetica", "0"},
        {Setting::FormSelect, 73, "9", nullptr, "書式", "0"},
        {Setting::KanjiCodeTable, 20, "3", nullptr, "JIS", "0"},
    };
    for (const auto& r : rows) {
        SettingsBlock b = test::NonFactoryBlock();
        Put(b, r.offset, r.code);
        const auto decoded = DecodeText(b, r.id);
        EXPECT_EQ(decoded.value_or("(nothing)"), r.decoded ? r.decoded : "(nothing)") << r.code;
        SettingsBlock expected = b;
        EncodeText(b, r.id, r.text);
        Put(expected, r.offset, r.written);
        EXPECT_EQ(b, expected) << Describe(r.id).name << " " << r.code << " then " << r.text;
    }
    // A radio code other than '0' and '1' shows no button; with no button checked the code
    // stays (QuietPrint, Typeface), or '0' is written (PostcardMode).
    SettingsBlock b = FactoryDefaults;
    Put(b, 22, "7");
    Put(b, 24, "2");
    EXPECT_EQ(DecodeInt(b, Setting::QuietPrint), 7);
    EXPECT_EQ(DecodeInt(b, Setting::PostcardMode), std::nullopt);
    SettingsBlock expected = b;
    EncodeInt(b, Setting::QuietPrint, -1);
    EncodeInt(b, Setting::Typeface, 2);
    EncodeInt(b, Setting::PostcardMode, -1);
    Put(expected, 24, "0");
    EXPECT_EQ(b, expected);
}

// A value with more digits than its field, or a negative one, leaves the digits as they were;
// the carried byte before SheetGuideLoadTime is never written. Decoding does arithmetic on
// whatever stands there.
TEST(Codecs, DecimalFieldsNeverWriteNonDigits) {
    SettingsBlock b = test::NonFactoryBlock();
    Put(b, 171, "9");
    const SettingsBlock start = b;
    for (const auto& [id, value] : {std::pair{Setting::PageLength, 100},
                                    {Setting::CutSheetCentering, -1},
                                    {Setting::ContinuousLoadPosition, 1000},
                                    {Setting::SheetGuideLoadTime, 10}})
        EncodeInt(b, id, value);
    FormRecord r = GetFormRecord(b, 2);
    EncodeFormField(r, FormField::RightMargin, 1000);
    EncodeFormField(r, FormField::CutSheetPositionCorrection, -3);
    PutFormRecord(b, 2, r);
    EXPECT_EQ(b, start);
    EncodeInt(b, Setting::SheetGuideLoadTime, 3);
    EXPECT_EQ(Bytes(b, 171, 2), "93");
    Put(b, 28, "4:");
    EXPECT_EQ(DecodeInt(b, Setting::CutSheetCentering), 50);
}

// The stop nearest a value, the lower one on a tie; values beyond the ends take the end stops.
TEST(Sliders, NearestStop) {
    const struct {
        int value;
        const StopTable& stops;
        int stop;
    } rows[] = {{19, kStandardStops, 2},    {90, kStandardStops, 8}, {125, kStandardStops, 9},
                {130, kStandardStops, 9},   {50, kStandardStops, 7}, {57, kPostcardStops, 7},
                {46, kStandardStops, 7},    {54, kPostcardStops, 7}, {-500, kStandardStops, 0},
                {999999, kPostcardStops, 9}};
    for (const auto& r : rows)
        EXPECT_EQ(NearestStop(r.value, r.stops), r.stop) << r.value;
}

TEST(ComboRule, FirstEntryThatBeginsWithTheText) {
    const std::string_view entries[] = {"オート", "1", "10", "11", "12"};
    EXPECT_EQ(SelectEntry(entries, "1"), 1);
    EXPECT_EQ(SelectEntry(entries, "11"), 3);
    EXPECT_EQ(SelectEntry(entries, "13"), -1);
}

// Values decoded from one block and encoded into another that holds other valid values in
// every field: every byte comes out as the first block's.
TEST(RoundTrip, EachSettingWritesExactlyItsOwnBytes) {
    const SettingsBlock other = test::NonFactoryBlock();
    for (const auto& [from, into] : {std::pair{other, FactoryDefaults}, {FactoryDefaults, other}}) {
        SettingsBlock b = into;
        SettingValues::Decode(from).EncodeInto(b);
        for (std::size_t off = 0; off < kBlockSize; ++off)
            EXPECT_EQ(b[off], from[off]) << "whole block, offset " << off;
    }
}

TEST(RoundTrip, CarriedAndUnassignedBytesSurvive) {
    SettingsBlock start = test::NonFactoryBlock();
    start[2] = 'Q';
    Put(start, 26, "z");
    Put(start, 34, "abc");
    Put(start, 45, "def");
    Put(start, 165, "gh");
    Put(start, 171, "7");
    Put(start, 75 + 15, "uvw");
    start[7] |= 0x08;  // MSW2-4
    start[10] |= 0x01; // MSW3-1
    start[11] |= 0x03; // MSW3-5, MSW3-6
    start[8] |= 0xA0;  // upper bits: dropped
    SettingsBlock b = start;
    SettingValues::Decode(b).EncodeInto(b);
    SettingsBlock expected = start;
    expected[8] &= 0x0F;
    EXPECT_EQ(b, expected);
}
