// SPDX-License-Identifier: Apache-2.0
#include "DialogTemplate.h"

#include "ResourceIds.h"

#include <array>
#include <type_traits>

namespace vellmark::res {
namespace {

using E = std::string_view;

// ---- Control builders ------------------------------------------------------------------------

constexpr ControlTemplate Label(int x, int y, int w, int h, E text, unsigned style = kNone) {
    return {kStaticId, ControlKind::Label, x, y, w, h, text, style, {}};
}
constexpr ControlTemplate Hidden(int x, int y, int w, int h, E text) {
    return {kStaticId, ControlKind::Label, x, y, w, h, text, kHidden, {}};
}
constexpr ControlTemplate Frame(int x, int y, int w, int h, E text) {
    return {kStaticId, ControlKind::GroupBox, x, y, w, h, text, kNone, {}};
}
constexpr ControlTemplate Combo(int id, int x, int y, int w, int h,
                                std::span<const std::string_view> entries) {
    return {id, ControlKind::ComboBox, x, y, w, h, {}, kGroup | kTabStop, entries};
}
// The first button of a pair starts its group; both are tab stops.
constexpr ControlTemplate Radio(int id, int x, int y, int w, int h, E text, bool first,
                                unsigned extra = kNone) {
    return {id,   ControlKind::RadioButton,
            x,    y,
            w,    h,
            text, (first ? kGroup | kTabStop : kTabStop) | extra,
            {}};
}
constexpr ControlTemplate Check(int id, int x, int y, int w, int h, E text) {
    return {id, ControlKind::CheckBox, x, y, w, h, text, kGroup | kTabStop, {}};
}
constexpr ControlTemplate Edit(int id, int x, int y, int w, int h) {
    return {id, ControlKind::NumberEdit, x, y, w, h, {}, kGroup | kTabStop, {}};
}
constexpr ControlTemplate Spin(int id, int x, int y, int w, int h) {
    return {id, ControlKind::UpDown, x, y, w, h, {}, kNone, {}};
}
constexpr ControlTemplate Slider(int id, int x, int y, int w, int h) {
    return {id, ControlKind::Slider, x, y, w, h, {}, kGroup | kTabStop, {}};
}
constexpr ControlTemplate Button(int id, int x, int y, int w, int h, E text,
                                 unsigned extra = kNone) {
    return {id, ControlKind::PushButton, x, y, w, h, text, kGroup | kTabStop | extra, {}};
}

constexpr ControlTemplate List(int id, int x, int y, int w, int h) {
    return {id, ControlKind::ListView, x, y, w, h, {}, kGroup | kTabStop, {}};
}

// ---- Groups of controls ----------------------------------------------------------------------

template <std::size_t N> using Group = std::array<ControlTemplate, N>;

template <class Part> struct PartSize : std::integral_constant<std::size_t, 1> {};
template <std::size_t N> struct PartSize<Group<N>> : std::integral_constant<std::size_t, N> {};

// A template's controls from single controls and groups of them, in order.
template <class... Parts> constexpr auto Controls(const Parts&... parts) {
    Group<(PartSize<Parts>::value + ...)> all{};
    std::size_t i = 0;
    const auto append = [&](const auto& part) {
        if constexpr (std::is_same_v<std::decay_t<decltype(part)>, ControlTemplate>)
            all[i++] = part;
        else
            for (const ControlTemplate& c : part)
                all[i++] = c;
    };
    (append(parts), ...);
    return all;
}

// A number row: its label, the edit (12 high) with the up-down control right beside it, and
// the unit 3 units after the up-down control; label and unit stand 2 units below the edit's top.
// The rows of one column share where their parts stand; a row gives only what differs.
struct NumberColumn {
    int labelX, labelW, editX, editW, unitW;
};
struct NumberField {
    E label;
    int edit, upDown;
    E unit;
};
constexpr Group<4> NumberRow(const NumberColumn& col, int y, const NumberField& f) {
    return {Label(col.labelX, y + 2, col.labelW, 8, f.label),
            Edit(f.edit, col.editX, y, col.editW, 12),
            Spin(f.upDown, col.editX + col.editW, y, 9, 12),
            Label(col.editX + col.editW + 12, y + 2, col.unitW, 8, f.unit)};
}

// A memory-switch bit shown as a radio pair: the frame with its title, the label naming the bit
// (8 high) and the two buttons (10 high).
struct Framed {
    int x, y, w, h;
    E title;
};
struct Placed {
    int x, y, w;
    E text;
};
struct Choice {
    int id, x, y, w;
    E text;
};
constexpr Group<4> SwitchGroup(Framed frame, Placed bit, Choice first, Choice second) {
    return {Frame(frame.x, frame.y, frame.w, frame.h, frame.title),
            Label(bit.x, bit.y, bit.w, 8, bit.text),
            Radio(first.id, first.x, first.y, first.w, 10, first.text, true),
            Radio(second.id, second.x, second.y, second.w, 10, second.text, false)};
}

// ---- Combo box entries -----------------------------------------------------------------------

constexpr E kPaperThickness[] = {"オート", "1", "2", "3",  "4",  "5", "6",
                                 "7",      "8", "9", "10", "11", "12"};
constexpr E kPrintPressure[] = {"-6", "-5", "-4", "-3", "-2", "-1", "0", "1", "2", "3"};
constexpr E kPrintPosition[] = {"-1.3", "-0.8", "-0.4", "0", "0.4", "0.8", "1.3"};
constexpr E kReduction[] = {"縮小なし", "２／３縮小", "４／５縮小"};
constexpr E kKanjiTable[] = {"JIS1978年度版", "JIS1983年度版", "JIS1990年度版"};
constexpr E kAutoReturn[] = {"8秒", "15秒", "自動戻り無し"};
constexpr E kFonts[] = {"標準", "イタリック", "クーリエ", "ゴシック", "OCR-B"};
constexpr E kFormSelect[] = {"選択なし", "書式１", "書式２", "書式３"};
constexpr E kCountries[] = {"日本", "アメリカ", "イギリス", "ドイツ", "スウェーデン"};

// ---- Loading-position slider rows ------------------------------------------------------------
//
// One row: its name, the slider with the stop labels under it (inch stops on the first line,
// millimetre stops on the second, each label centred on its stop), and the number edit with its
// up-down control and unit. A row is 40 dialog units high.

struct PositionRow {
    E name;
    int slider, edit, upDown;
};

constexpr Group<17> SliderRow(int y, const PositionRow& row, E mm7) {
    return {Label(10, y, 60, 8, row.name),
            Slider(row.slider, 10, y + 9, 136, 14),
            Edit(row.edit, 150, y + 10, 26, 12),
            Spin(row.upDown, 176, y + 10, 9, 12),
            Label(188, y + 12, 36, 8, "/120インチ"),
            Label(7, y + 23, 14, 8, "0", kAlignCenter),
            Label(21, y + 23, 14, 8, "1/8", kAlignCenter),
            Label(50, y + 23, 14, 8, "1/6", kAlignCenter),
            Label(78, y + 23, 14, 8, "1/4", kAlignCenter),
            Label(92, y + 23, 14, 8, "1/3", kAlignCenter),
            Label(121, y + 23, 14, 8, "1/2", kAlignCenter),
            Label(135, y + 23, 14, 8, "1", kAlignCenter),
            Label(150, y + 23, 24, 8, "インチ"),
            Label(33, y + 31, 20, 8, "3.8", kAlignCenter),
            Label(61, y + 31, 20, 8, "6.03", kAlignCenter),
            Label(103, y + 31, 20, 8, mm7, kAlignCenter),
            Label(150, y + 31, 14, 8, "mm")};
}

// The frame of the three loading positions with the rows of continuous paper, cut sheets and
// postcards.
constexpr auto LoadingPositions(const PositionRow& continuous, const PositionRow& cutSheet,
                                const PositionRow& postcard) {
    return Controls(Frame(4, 2, 222, 133, "吸入位置"), SliderRow(12, continuous, "9.7"),
                    SliderRow(52, cutSheet, "9.7"), SliderRow(92, postcard, "11.5"));
}

// ---- 129: CPage_MSW1 -------------------------------------------------------------------------

constexpr auto kMsw1 = Controls(
    Label(2, 5, 129, 15, "各国文字の切り替え(&C)（MSW1-1/2/3） ", kCenterVertical),
    Combo(IDC_MSW1_COUNTRY, 134, 5, 60, 65, kCountries),
    SwitchGroup({2, 30, 108, 63, "データ受信方法の切り替え"}, {12, 42, 38, "（MSW1-4）"},
                {IDC_MSW1_4_FIRST, 8, 56, 72, "従来互換(&J)"},
                {IDC_MSW1_4_SECOND, 8, 71, 74, "高速受信(&K)"}),
    SwitchGroup({114, 30, 112, 45, "DC1/DC3コード処理の切り替え"}, {128, 41, 38, "（MSW1-5）"},
                {IDC_MSW1_5_FIRST, 118, 55, 39, "有効(&O)"},
                {IDC_MSW1_5_SECOND, 170, 55, 45, "無効(&U)"}),
    SwitchGroup({115, 85, 112, 44, "自動復改の切り替え"}, {122, 95, 39, "（MSW1-6）"},
                {IDC_MSW1_6_FIRST, 117, 109, 52, "復帰改行(&L)"},
                {IDC_MSW1_6_SECOND, 170, 109, 50, "復帰のみ(&T)"}),
    Frame(2, 109, 108, 59, "印刷指令コードの切り替え"), Label(12, 119, 46, 8, "（MSW1-7）"),
    Radio(IDC_MSW1_7_FIRST, 8, 133, 49, 10, "ＣＲのみ(&D)", true),
    Radio(IDC_MSW1_7_SECOND, 8, 143, 90, 22,
          "ＣＲ，ＬＦ，ＶＴ，ＦＦ，ＵＳ，\nＥＳＣ ａ，ＥＳＣ ｂ (&E)", false, kMultiline),
    SwitchGroup({115, 140, 112, 44, "CRコードの機能の切り替え"}, {122, 150, 40, "（MSW1-8）"},
                {IDC_MSW1_8_FIRST, 117, 164, 52, "復帰のみ(&N)"},
                {IDC_MSW1_8_SECOND, 170, 164, 52, "復帰改行(&V)"}),
    Hidden(5, 174, 47, 13, "MSW1"));

// ---- 130: CPage_MSW2 -------------------------------------------------------------------------

constexpr auto kMsw2 = Controls(
    Check(IDC_MSW2_1_CHECK, 4, 5, 212, 10,
          "１バイトコード系数字ゼロにスラッシュを付ける(&K)（MSW2-1）"),
    SwitchGroup({2, 25, 110, 50, "シートガイドの用紙無し検出"}, {7, 35, 39, "（MSW2-2）"},
                {IDC_MSW2_2_FIRST, 5, 55, 45, "印刷時(&S)"},
                {IDC_MSW2_2_SECOND, 57, 55, 39, "常時(&A)"}),
    SwitchGroup({117, 25, 110, 50, "ドット対応グラフィックドット数"}, {122, 35, 40, "（MSW2-3）"},
                {IDC_MSW2_3_FIRST, 127, 45, 72, "ネイティブモード(&N)"},
                {IDC_MSW2_3_SECOND, 127, 60, 61, "コピーモード(&C)"}),
    SwitchGroup({2, 85, 110, 40, "印刷モードの切り替え"}, {7, 95, 39, "（MSW2-5）"},
                {IDC_MSW2_5_FIRST, 5, 110, 52, "ＨＤパイカ(&D)"},
                {IDC_MSW2_5_SECOND, 61, 110, 50, "ＨＳパイカ(&E)"}),
    SwitchGroup({117, 85, 110, 40, "７／８ビットデータの切り替え"}, {122, 95, 41, "（MSW2-6）"},
                {IDC_MSW2_6_FIRST, 122, 110, 44, "８ビット(&8)"},
                {IDC_MSW2_6_SECOND, 172, 110, 45, "７ビット(&7)"}),
    SwitchGroup({2, 135, 110, 40, "印刷桁数の切り替え"}, {7, 145, 39, "（MSW2-7）"},
                {IDC_MSW2_7_FIRST, 5, 160, 45, "１３６桁(&L)"},
                {IDC_MSW2_7_SECOND, 57, 160, 41, "８０桁(&O)"}),
    SwitchGroup({117, 135, 110, 40, "印刷方向の切り替え"}, {122, 145, 39, "（MSW2-8）"},
                {IDC_MSW2_8_FIRST, 122, 160, 56, "両方向最短(&2)"},
                {IDC_MSW2_8_SECOND, 180, 160, 44, "片方向(&1)"}),
    Hidden(190, 14, 37, 9, "MSW2"));

// ---- 131: CPage_MSW3 -------------------------------------------------------------------------

constexpr auto kMsw3 =
    Controls(SwitchGroup({2, 5, 110, 41, "PC/情処モードの切り替え"}, {7, 15, 39, "（MSW3-2）"},
                         {IDC_MSW3_2_FIRST, 6, 30, 49, "PCモード(&P)"},
                         {IDC_MSW3_2_SECOND, 57, 30, 54, "情処モード(&J)"}),
             SwitchGroup({117, 5, 110, 41, "用紙吸入位置の記憶"}, {122, 15, 40, "（MSW3-3）"},
                         {IDC_MSW3_3_FIRST, 120, 30, 49, "記憶する(&R)"},
                         {IDC_MSW3_3_SECOND, 172, 30, 56, "記憶しない(&D)"}),
             SwitchGroup({2, 55, 166, 40, "シートフィーダの吸入コード"}, {7, 65, 41, "（MSW3-4）"},
                         {IDC_MSW3_4_FIRST, 6, 80, 58, "ＥＳＣ ａのみ(&E)"},
                         {IDC_MSW3_4_SECOND, 70, 80, 95, "ＥＳＣ ａ，ＬＦ，ＵＳ，ＶＴ (&T)"}),
             Check(IDC_MSW3_7_CHECK, 4, 105, 209, 10,
                   "２バイトコード系数字ゼロにスラッシュを付ける(&Z)（MSW3-7）"),
             SwitchGroup({2, 125, 164, 40, "ミシン目スキップ"}, {7, 135, 43, "（MSW3-8）"},
                         {IDC_MSW3_8_FIRST, 6, 150, 65, "スキップしない(&G)"},
                         {IDC_MSW3_8_SECOND, 78, 150, 62, "スキップする(&K)"}),
             Hidden(186, 152, 42, 16, "MSW3"));

// ---- 132: CPage_MSW4 -------------------------------------------------------------------------

constexpr auto kMsw4 = Controls(
    SwitchGroup({2, 7, 110, 35, "印刷ヘッド空打ち防止機能"}, {7, 17, 42, "（MSW4-1）"},
                {IDC_MSW4_1_FIRST, 7, 27, 48, "有効(&Y)"},
                {IDC_MSW4_1_SECOND, 57, 27, 52, "無効(&N)"}),
    SwitchGroup({117, 7, 110, 35, "自動カット位置送り機能"}, {122, 17, 46, "（MSW4-2）"},
                {IDC_MSW4_2_FIRST, 122, 27, 39, "無効(&U)"},
                {IDC_MSW4_2_SECOND, 177, 27, 35, "有効(&O)"}),
    SwitchGroup({2, 47, 110, 45, "カット位置送り機能の用紙送り量"}, {7, 57, 45, "（MSW4-3）"},
                {IDC_MSW4_3_FIRST, 7, 67, 45, "固定長(&K)"},
                {IDC_MSW4_3_SECOND, 7, 77, 65, "TOF＋固定長(&P)"}),
    SwitchGroup({117, 47, 110, 35, "ドット列印刷モードの印刷方向"}, {122, 57, 42, "（MSW4-4）"},
                {IDC_MSW4_4_FIRST, 122, 67, 45, "片方向(&1)"},
                {IDC_MSW4_4_SECOND, 177, 67, 45, "両方向(&2)"}),
    SwitchGroup({2, 97, 110, 35, "高速印刷モード"}, {5, 107, 40, "（MSW4-5）"},
                {IDC_MSW4_5_FIRST, 5, 117, 49, "通常印刷(&E)"},
                {IDC_MSW4_5_SECOND, 58, 117, 50, "高速印刷(&D)"}),
    SwitchGroup({117, 87, 110, 45, "シートガイドの排出方向"}, {120, 97, 50, "（MSW4-6）"},
                {IDC_MSW4_6_FIRST, 122, 107, 66, "排出方向指定(&G)"},
                {IDC_MSW4_6_SECOND, 122, 117, 53, "後方排出(&B)"}),
    SwitchGroup({2, 137, 109, 45, "シートフィーダの排出方向"}, {5, 147, 48, "（MSW4-7）"},
                {IDC_MSW4_7_FIRST, 5, 157, 66, "排出方向指定(&C)"},
                {IDC_MSW4_7_SECOND, 5, 167, 53, "後方排出(&R)"}),
    SwitchGroup({117, 137, 110, 45, "シートガイドのローディング方法"}, {120, 147, 41, "（MSW4-8）"},
                {IDC_MSW4_8_FIRST, 120, 157, 43, "オート(&A)"},
                {IDC_MSW4_8_SECOND, 120, 167, 56, "マニュアル(&Z)"}),
    Hidden(177, 137, 41, 8, "MSW4"));

// ---- 133: CPage_Param ------------------------------------------------------------------------

constexpr NumberColumn kParamColumn{8, 120, 132, 28, 12};

constexpr auto kParam = Controls(
    NumberRow(kParamColumn, 8,
              {"カット紙のセンタリング位置(&C)", IDC_PARAM_CUT_CENTERING,
               IDC_PARAM_CUT_CENTERING_SPIN, "桁"}),
    NumberRow(kParamColumn, 26,
              {"連続紙のセンタリング位置(&T)", IDC_PARAM_CONT_CENTERING,
               IDC_PARAM_CONT_CENTERING_SPIN, "桁"}),
    Label(8, 46, 120, 8, "漢字コード表(&K)"),
    Combo(IDC_PARAM_KANJI_TABLE, 132, 44, 80, 60, kKanjiTable),
    NumberRow(kParamColumn, 62,
              {"シートガイドからの用紙吸入時間(&J)", IDC_PARAM_LOAD_TIME, IDC_PARAM_LOAD_TIME_SPIN,
               "秒"}),
    Label(8, 82, 120, 8, "カット位置からの自動戻り時間(&P)"),
    Combo(IDC_PARAM_AUTO_RETURN, 132, 80, 80, 60, kAutoReturn),
    Frame(4, 102, 222, 46, "フォント選択"), Label(12, 116, 60, 8, "フォント１(&1)"),
    Combo(IDC_PARAM_FONT1, 76, 114, 80, 80, kFonts), Label(12, 132, 60, 8, "フォント２(&2)"),
    Combo(IDC_PARAM_FONT2, 76, 130, 80, 80, kFonts), Frame(4, 154, 222, 30, "ハガキ印刷モード"),
    Radio(IDC_PARAM_POSTCARD_FIRST, 12, 168, 50, 10, "OFF(&N)", true),
    Radio(IDC_PARAM_POSTCARD_SECOND, 70, 168, 50, 10, "ON(&Y)", false));

// ---- 134: CPage_Select -----------------------------------------------------------------------

constexpr ControlTemplate kSelect[] = {
    Label(10, 12, 90, 8, "用紙厚調整の設定(&A)"),
    Combo(IDC_SELECT_PAPER_THICKNESS, 104, 10, 64, 120, kPaperThickness),
    Label(10, 32, 90, 8, "印刷圧微調整(&B)"),
    Combo(IDC_SELECT_PRINT_PRESSURE, 104, 30, 64, 110, kPrintPressure),
    Label(10, 52, 90, 8, "印刷位置の微調整(&K)"),
    Combo(IDC_SELECT_PRINT_POSITION, 104, 50, 64, 90, kPrintPosition),
    Label(172, 52, 20, 8, "mm"),
    Label(10, 72, 90, 8, "縮小印刷(&P)"),
    Combo(IDC_SELECT_REDUCTION, 104, 70, 64, 60, kReduction),
    Frame(4, 96, 108, 40, "クワイエット印刷"),
    Radio(IDC_SELECT_QUIET_FIRST, 12, 114, 46, 10, "しない(&N)", true),
    Radio(IDC_SELECT_QUIET_SECOND, 62, 114, 46, 10, "する(&Y)", false),
    Frame(118, 96, 108, 40, "書体選択"),
    Radio(IDC_SELECT_TYPEFACE_FIRST, 122, 114, 46, 10, "明朝体(&R)", true),
    Radio(IDC_SELECT_TYPEFACE_SECOND, 169, 114, 56, 10, "ゴシック体(&G)", false),
};

// ---- 171: CPage_Form -------------------------------------------------------------------------

constexpr auto kForm = Controls(
    LoadingPositions(
        {"連続紙(&T)", IDC_FORM_CONT_SLIDER, IDC_FORM_CONT_POSITION, IDC_FORM_CONT_SPIN},
        {"カット紙(&C)", IDC_FORM_CUT_SLIDER, IDC_FORM_CUT_POSITION, IDC_FORM_CUT_SPIN},
        {"はがき(&P)", IDC_FORM_POSTCARD_SLIDER, IDC_FORM_POSTCARD_POSITION,
         IDC_FORM_POSTCARD_SPIN}),
    NumberRow({10, 36, 48, 26, 10}, 142,
              {"用紙長(&N)", IDC_FORM_PAGE_LENGTH, IDC_FORM_PAGE_LENGTH_SPIN, "行"}),
    NumberRow({104, 68, 172, 26, 12}, 142,
              {"カット紙位置補正(&K)", IDC_FORM_CORRECTION, IDC_FORM_CORRECTION_SPIN, "桁"}),
    Label(10, 166, 44, 8, "書式選択(&S)"), Combo(IDC_FORM_SELECT, 56, 164, 60, 80, kFormSelect),
    Button(IDC_FORM_BUTTON, 130, 163, 90, 14, "書式の設定(&D)"));

// ---- 175: CFormSetupDlg ----------------------------------------------------------------------

constexpr NumberColumn kSetupColumn{10, 72, 84, 26, 14};

constexpr auto kFormSetup = Controls(
    LoadingPositions(
        {"連続紙(&F)", IDC_SETUP_CONT_SLIDER, IDC_SETUP_CONT_POSITION, IDC_SETUP_CONT_SPIN},
        {"カット紙(&S)", IDC_SETUP_CUT_SLIDER, IDC_SETUP_CUT_POSITION, IDC_SETUP_CUT_SPIN},
        {"はがき(&P)", IDC_SETUP_POSTCARD_SLIDER, IDC_SETUP_POSTCARD_POSITION,
         IDC_SETUP_POSTCARD_SPIN}),
    NumberRow(kSetupColumn, 142,
              {"用紙長(&N)", IDC_SETUP_PAGE_LENGTH, IDC_SETUP_PAGE_LENGTH_SPIN, "行"}),
    NumberRow(kSetupColumn, 158,
              {"レフトマージン幅(&L)", IDC_SETUP_LEFT_MARGIN, IDC_SETUP_LEFT_MARGIN_SPIN, "桁"}),
    NumberRow(kSetupColumn, 174,
              {"ライトマージン幅(&R)", IDC_SETUP_RIGHT_MARGIN, IDC_SETUP_RIGHT_MARGIN_SPIN, "桁"}),
    NumberRow(kSetupColumn, 190,
              {"カット紙位置補正(&C)", IDC_SETUP_CORRECTION, IDC_SETUP_CORRECTION_SPIN, "桁"}),
    Button(IDOK, 166, 172, 56, 14, "OK", kDefault),
    Button(IDCANCEL, 166, 190, 56, 14, "キャンセル"));

// Version information (template 100): the program icon, the product, the model and the
// version inside a frame, one line about the program below it, and OK.
constexpr ControlTemplate kAbout[] = {
    Frame(7, 5, 186, 52, ""),
    {IDC_ABOUT_ICON, ControlKind::Label, 16, 17, 21, 20, {}, kNone, {}},
    Label(46, 15, 140, 8, "ヴェルマーク"),
    Label(46, 27, 140, 8, "Dotrix Ledger 9040"),
    Label(46, 39, 140, 8, "Version 2.000"),
    Label(7, 63, 186, 8, "プリンタの設定を編集し、プリンタへ送信します。"),
    Button(IDOK, 75, 78, 50, 14, "OK", kDefault),
};

// ---- Printer selection (152) -----------------------------------------------------------------

constexpr ControlTemplate kPrinterSelect[] = {
    Label(5, 5, 87, 8, "プリンタを選択してください。"),
    List(IDC_PRINTER_LIST, 7, 19, 173, 81),
    Button(IDOK, 30, 106, 50, 14, "OK", kDefault),
    Button(IDCANCEL, 110, 106, 50, 14, "キャンセル"),
};

constexpr DialogTemplate kDialogs[] = {
    {IDD_PAGE_MSW1, 230, 190, {}, true, kMsw1},
    {IDD_PAGE_MSW2, 230, 190, {}, true, kMsw2},
    {IDD_PAGE_MSW3, 230, 190, {}, true, kMsw3},
    {IDD_PAGE_MSW4, 230, 190, {}, true, kMsw4},
    {IDD_PAGE_PARAM, 230, 190, {}, true, kParam},
    {IDD_PAGE_SELECT, 230, 190, {}, true, kSelect},
    {IDD_PAGE_FORM, 230, 190, {}, true, kForm},
    {IDD_FORM_SETUP, 230, 210, "書式の設定： 書式１", false, kFormSetup},
    {IDD_ABOUTBOX, 200, 98, "バージョン情報", false, kAbout},
    {IDD_PRINTER_SELECT, 187, 127, "プリンタの選択", false, kPrinterSelect},
};

constexpr const DialogTemplate* kDialogList[] = {
    &kDialogs[0], &kDialogs[1], &kDialogs[2], &kDialogs[3], &kDialogs[4],
    &kDialogs[5], &kDialogs[6], &kDialogs[7], &kDialogs[8], &kDialogs[9]};

} // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    for (const DialogTemplate& d : kDialogs)
        if (d.id == id)
            return &d;
    return nullptr;
}

std::span<const DialogTemplate* const> AllDialogTemplates() {
    return kDialogList;
}

const ControlTemplate* FindControl(const DialogTemplate& dialog, int controlId) {
    if (controlId == kStaticId)
        return nullptr;
    for (const ControlTemplate& c : dialog.controls)
        if (c.id == controlId)
            return &c;
    return nullptr;
}

} // namespace vellmark::res
