#include "DialogTemplate.h"

#include "ResourceIds.h"

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

#define VLMK_SLIDER_ROW(Y, NAME, SLIDER, EDIT, SPIN, MM7)                                          \
    Label(10, (Y), 60, 8, NAME), Slider(SLIDER, 10, (Y) + 9, 136, 14),                             \
        Edit(EDIT, 150, (Y) + 10, 26, 12), Spin(SPIN, 176, (Y) + 10, 9, 12),                       \
        Label(188, (Y) + 12, 36, 8, "/120インチ"), Label(7, (Y) + 23, 14, 8, "0", kAlignCenter),   \
        Label(21, (Y) + 23, 14, 8, "1/8", kAlignCenter),                                           \
        Label(50, (Y) + 23, 14, 8, "1/6", kAlignCenter),                                           \
        Label(78, (Y) + 23, 14, 8, "1/4", kAlignCenter),                                           \
        Label(92, (Y) + 23, 14, 8, "1/3", kAlignCenter),                                           \
        Label(121, (Y) + 23, 14, 8, "1/2", kAlignCenter),                                          \
        Label(135, (Y) + 23, 14, 8, "1", kAlignCenter), Label(150, (Y) + 23, 24, 8, "インチ"),     \
        Label(33, (Y) + 31, 20, 8, "3.8", kAlignCenter),                                           \
        Label(61, (Y) + 31, 20, 8, "6.03", kAlignCenter),                                          \
        Label(103, (Y) + 31, 20, 8, MM7, kAlignCenter), Label(150, (Y) + 31, 14, 8, "mm")

// ---- 129: CPage_MSW1 -------------------------------------------------------------------------

constexpr ControlTemplate kMsw1[] = {
    Label(2, 5, 129, 15, "各国文字の切り替え(&C)（MSW1-1/2/3） ", kCenterVertical),
    Combo(IDC_MSW1_COUNTRY, 134, 5, 60, 65, kCountries),
    Frame(2, 30, 108, 63, "データ受信方法の切り替え"),
    Label(12, 42, 38, 8, "（MSW1-4）"),
    Radio(IDC_MSW1_4_FIRST, 8, 56, 72, 10, "従来互換(&J)", true),
    Radio(IDC_MSW1_4_SECOND, 8, 71, 74, 10, "高速受信(&K)", false),
    Frame(114, 30, 112, 45, "DC1/DC3コード処理の切り替え"),
    Label(128, 41, 38, 8, "（MSW1-5）"),
    Radio(IDC_MSW1_5_FIRST, 118, 55, 39, 10, "有効(&O)", true),
    Radio(IDC_MSW1_5_SECOND, 170, 55, 45, 10, "無効(&U)", false),
    Frame(115, 85, 112, 44, "自動復改の切り替え"),
    Label(122, 95, 39, 8, "（MSW1-6）"),
    Radio(IDC_MSW1_6_FIRST, 117, 109, 52, 10, "復帰改行(&L)", true),
    Radio(IDC_MSW1_6_SECOND, 170, 109, 50, 10, "復帰のみ(&T)", false),
    Frame(2, 109, 108, 59, "印刷指令コードの切り替え"),
    Label(12, 119, 46, 8, "（MSW1-7）"),
    Radio(IDC_MSW1_7_FIRST, 8, 133, 49, 10, "ＣＲのみ(&D)", true),
    Radio(IDC_MSW1_7_SECOND, 8, 143, 90, 22,
          "ＣＲ，ＬＦ，ＶＴ，ＦＦ，ＵＳ，\nＥＳＣ ａ，ＥＳＣ ｂ (&E)", false, kMultiline),
    Frame(115, 140, 112, 44, "CRコードの機能の切り替え"),
    Label(122, 150, 40, 8, "（MSW1-8）"),
    Radio(IDC_MSW1_8_FIRST, 117, 164, 52, 10, "復帰のみ(&N)", true),
    Radio(IDC_MSW1_8_SECOND, 170, 164, 52, 10, "復帰改行(&V)", false),
    Hidden(5, 174, 47, 13, "MSW1"),
};

// ---- 130: CPage_MSW2 -------------------------------------------------------------------------

constexpr ControlTemplate kMsw2[] = {
    Check(IDC_MSW2_1_CHECK, 4, 5, 212, 10,
          "１バイトコード系数字ゼロにスラッシュを付ける(&K)（MSW2-1）"),
    Frame(2, 25, 110, 50, "シートガイドの用紙無し検出"),
    Label(7, 35, 39, 8, "（MSW2-2）"),
    Radio(IDC_MSW2_2_FIRST, 5, 55, 45, 10, "印刷時(&S)", true),
    Radio(IDC_MSW2_2_SECOND, 57, 55, 39, 10, "常時(&A)", false),
    Frame(117, 25, 110, 50, "ドット対応グラフィックドット数"),
    Label(122, 35, 40, 8, "（MSW2-3）"),
    Radio(IDC_MSW2_3_FIRST, 127, 45, 72, 10, "ネイティブモード(&N)", true),
    Radio(IDC_MSW2_3_SECOND, 127, 60, 61, 10, "コピーモード(&C)", false),
    Frame(2, 85, 110, 40, "印刷モードの切り替え"),
    Label(7, 95, 39, 8, "（MSW2-5）"),
    Radio(IDC_MSW2_5_FIRST, 5, 110, 52, 10, "ＨＤパイカ(&D)", true),
    Radio(IDC_MSW2_5_SECOND, 61, 110, 50, 10, "ＨＳパイカ(&E)", false),
    Frame(117, 85, 110, 40, "７／８ビットデータの切り替え"),
    Label(122, 95, 41, 8, "（MSW2-6）"),
    Radio(IDC_MSW2_6_FIRST, 122, 110, 44, 10, "８ビット(&8)", true),
    Radio(IDC_MSW2_6_SECOND, 172, 110, 45, 10, "７ビット(&7)", false),
    Frame(2, 135, 110, 40, "印刷桁数の切り替え"),
    Label(7, 145, 39, 8, "（MSW2-7）"),
    Radio(IDC_MSW2_7_FIRST, 5, 160, 45, 10, "１３６桁(&L)", true),
    Radio(IDC_MSW2_7_SECOND, 57, 160, 41, 10, "８０桁(&O)", false),
    Frame(117, 135, 110, 40, "印刷方向の切り替え"),
    Label(122, 145, 39, 8, "（MSW2-8）"),
    Radio(IDC_MSW2_8_FIRST, 122, 160, 56, 10, "両方向最短(&2)", true),
    Radio(IDC_MSW2_8_SECOND, 180, 160, 44, 10, "片方向(&1)", false),
    Hidden(190, 14, 37, 9, "MSW2"),
};

// ---- 131: CPage_MSW3 -------------------------------------------------------------------------

constexpr ControlTemplate kMsw3[] = {
    Frame(2, 5, 110, 41, "PC/情処モードの切り替え"),
    Label(7, 15, 39, 8, "（MSW3-2）"),
    Radio(IDC_MSW3_2_FIRST, 6, 30, 49, 10, "PCモード(&P)", true),
    Radio(IDC_MSW3_2_SECOND, 57, 30, 54, 10, "情処モード(&J)", false),
    Frame(117, 5, 110, 41, "用紙吸入位置の記憶"),
    Label(122, 15, 40, 8, "（MSW3-3）"),
    Radio(IDC_MSW3_3_FIRST, 120, 30, 49, 10, "記憶する(&R)", true),
    Radio(IDC_MSW3_3_SECOND, 172, 30, 56, 10, "記憶しない(&D)", false),
    Frame(2, 55, 166, 40, "シートフィーダの吸入コード"),
    Label(7, 65, 41, 8, "（MSW3-4）"),
    Radio(IDC_MSW3_4_FIRST, 6, 80, 58, 10, "ＥＳＣ ａのみ(&E)", true),
    Radio(IDC_MSW3_4_SECOND, 70, 80, 95, 10, "ＥＳＣ ａ，ＬＦ，ＵＳ，ＶＴ (&T)", false),
    Check(IDC_MSW3_7_CHECK, 4, 105, 209, 10,
          "２バイトコード系数字ゼロにスラッシュを付ける(&Z)（MSW3-7）"),
    Frame(2, 125, 164, 40, "ミシン目スキップ"),
    Label(7, 135, 43, 8, "（MSW3-8）"),
    Radio(IDC_MSW3_8_FIRST, 6, 150, 65, 10, "スキップしない(&G)", true),
    Radio(IDC_MSW3_8_SECOND, 78, 150, 62, 10, "スキップする(&K)", false),
    Hidden(186, 152, 42, 16, "MSW3"),
};

// ---- 132: CPage_MSW4 -------------------------------------------------------------------------

constexpr ControlTemplate kMsw4[] = {
    Frame(2, 7, 110, 35, "印刷ヘッド空打ち防止機能"),
    Label(7, 17, 42, 8, "（MSW4-1）"),
    Radio(IDC_MSW4_1_FIRST, 7, 27, 48, 10, "有効(&Y)", true),
    Radio(IDC_MSW4_1_SECOND, 57, 27, 52, 10, "無効(&N)", false),
    Frame(117, 7, 110, 35, "自動カット位置送り機能"),
    Label(122, 17, 46, 8, "（MSW4-2）"),
    Radio(IDC_MSW4_2_FIRST, 122, 27, 39, 10, "無効(&U)", true),
    Radio(IDC_MSW4_2_SECOND, 177, 27, 35, 10, "有効(&O)", false),
    Frame(2, 47, 110, 45, "カット位置送り機能の用紙送り量"),
    Label(7, 57, 45, 8, "（MSW4-3）"),
    Radio(IDC_MSW4_3_FIRST, 7, 67, 45, 10, "固定長(&K)", true),
    Radio(IDC_MSW4_3_SECOND, 7, 77, 65, 10, "TOF＋固定長(&P)", false),
    Frame(117, 47, 110, 35, "ドット列印刷モードの印刷方向"),
    Label(122, 57, 42, 8, "（MSW4-4）"),
    Radio(IDC_MSW4_4_FIRST, 122, 67, 45, 10, "片方向(&1)", true),
    Radio(IDC_MSW4_4_SECOND, 177, 67, 45, 10, "両方向(&2)", false),
    Frame(2, 97, 110, 35, "高速印刷モード"),
    Label(5, 107, 40, 8, "（MSW4-5）"),
    Radio(IDC_MSW4_5_FIRST, 5, 117, 49, 10, "通常印刷(&E)", true),
    Radio(IDC_MSW4_5_SECOND, 58, 117, 50, 10, "高速印刷(&D)", false),
    Frame(117, 87, 110, 45, "シートガイドの排出方向"),
    Label(120, 97, 50, 8, "（MSW4-6）"),
    Radio(IDC_MSW4_6_FIRST, 122, 107, 66, 10, "排出方向指定(&G)", true),
    Radio(IDC_MSW4_6_SECOND, 122, 117, 53, 10, "後方排出(&B)", false),
    Frame(2, 137, 109, 45, "シートフィーダの排出方向"),
    Label(5, 147, 48, 8, "（MSW4-7）"),
    Radio(IDC_MSW4_7_FIRST, 5, 157, 66, 10, "排出方向指定(&C)", true),
    Radio(IDC_MSW4_7_SECOND, 5, 167, 53, 10, "後方排出(&R)", false),
    Frame(117, 137, 110, 45, "シートガイドのローディング方法"),
    Label(120, 147, 41, 8, "（MSW4-8）"),
    Radio(IDC_MSW4_8_FIRST, 120, 157, 43, 10, "オート(&A)", true),
    Radio(IDC_MSW4_8_SECOND, 120, 167, 56, 10, "マニュアル(&Z)", false),
    Hidden(177, 137, 41, 8, "MSW4"),
};

// ---- 133: CPage_Param ------------------------------------------------------------------------

constexpr ControlTemplate kParam[] = {
    Label(8, 10, 120, 8, "カット紙のセンタリング位置(&C)"),
    Edit(IDC_PARAM_CUT_CENTERING, 132, 8, 28, 12),
    Spin(IDC_PARAM_CUT_CENTERING_SPIN, 160, 8, 9, 12),
    Label(172, 10, 12, 8, "桁"),
    Label(8, 28, 120, 8, "連続紙のセンタリング位置(&T)"),
    Edit(IDC_PARAM_CONT_CENTERING, 132, 26, 28, 12),
    Spin(IDC_PARAM_CONT_CENTERING_SPIN, 160, 26, 9, 12),
    Label(172, 28, 12, 8, "桁"),
    Label(8, 46, 120, 8, "漢字コード表(&K)"),
    Combo(IDC_PARAM_KANJI_TABLE, 132, 44, 80, 60, kKanjiTable),
    Label(8, 64, 120, 8, "シートガイドからの用紙吸入時間(&J)"),
    Edit(IDC_PARAM_LOAD_TIME, 132, 62, 28, 12),
    Spin(IDC_PARAM_LOAD_TIME_SPIN, 160, 62, 9, 12),
    Label(172, 64, 12, 8, "秒"),
    Label(8, 82, 120, 8, "カット位置からの自動戻り時間(&P)"),
    Combo(IDC_PARAM_AUTO_RETURN, 132, 80, 80, 60, kAutoReturn),
    Frame(4, 102, 222, 46, "フォント選択"),
    Label(12, 116, 60, 8, "フォント１(&1)"),
    Combo(IDC_PARAM_FONT1, 76, 114, 80, 80, kFonts),
    Label(12, 132, 60, 8, "フォント２(&2)"),
    Combo(IDC_PARAM_FONT2, 76, 130, 80, 80, kFonts),
    Frame(4, 154, 222, 30, "ハガキ印刷モード"),
    Radio(IDC_PARAM_POSTCARD_FIRST, 12, 168, 50, 10, "OFF(&N)", true),
    Radio(IDC_PARAM_POSTCARD_SECOND, 70, 168, 50, 10, "ON(&Y)", false),
};

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

constexpr ControlTemplate kForm[] = {
    Frame(4, 2, 222, 133, "吸入位置"),
    VLMK_SLIDER_ROW(12, "連続紙(&T)", IDC_FORM_CONT_SLIDER, IDC_FORM_CONT_POSITION,
                    IDC_FORM_CONT_SPIN, "9.7"),
    VLMK_SLIDER_ROW(52, "カット紙(&C)", IDC_FORM_CUT_SLIDER, IDC_FORM_CUT_POSITION,
                    IDC_FORM_CUT_SPIN, "9.7"),
    VLMK_SLIDER_ROW(92, "はがき(&P)", IDC_FORM_POSTCARD_SLIDER, IDC_FORM_POSTCARD_POSITION,
                    IDC_FORM_POSTCARD_SPIN, "11.5"),
    Label(10, 144, 36, 8, "用紙長(&N)"),
    Edit(IDC_FORM_PAGE_LENGTH, 48, 142, 26, 12),
    Spin(IDC_FORM_PAGE_LENGTH_SPIN, 74, 142, 9, 12),
    Label(86, 144, 10, 8, "行"),
    Label(104, 144, 68, 8, "カット紙位置補正(&K)"),
    Edit(IDC_FORM_CORRECTION, 172, 142, 26, 12),
    Spin(IDC_FORM_CORRECTION_SPIN, 198, 142, 9, 12),
    Label(210, 144, 12, 8, "桁"),
    Label(10, 166, 44, 8, "書式選択(&S)"),
    Combo(IDC_FORM_SELECT, 56, 164, 60, 80, kFormSelect),
    Button(IDC_FORM_BUTTON, 130, 163, 90, 14, "書式の設定(&D)"),
};

// ---- 175: CFormSetupDlg ----------------------------------------------------------------------

constexpr ControlTemplate kFormSetup[] = {
    Frame(4, 2, 222, 133, "吸入位置"),
    VLMK_SLIDER_ROW(12, "連続紙(&F)", IDC_SETUP_CONT_SLIDER, IDC_SETUP_CONT_POSITION,
                    IDC_SETUP_CONT_SPIN, "9.7"),
    VLMK_SLIDER_ROW(52, "カット紙(&S)", IDC_SETUP_CUT_SLIDER, IDC_SETUP_CUT_POSITION,
                    IDC_SETUP_CUT_SPIN, "9.7"),
    VLMK_SLIDER_ROW(92, "はがき(&P)", IDC_SETUP_POSTCARD_SLIDER, IDC_SETUP_POSTCARD_POSITION,
                    IDC_SETUP_POSTCARD_SPIN, "11.5"),
    Label(10, 144, 72, 8, "用紙長(&N)"),
    Edit(IDC_SETUP_PAGE_LENGTH, 84, 142, 26, 12),
    Spin(IDC_SETUP_PAGE_LENGTH_SPIN, 110, 142, 9, 12),
    Label(122, 144, 14, 8, "行"),
    Label(10, 160, 72, 8, "レフトマージン幅(&L)"),
    Edit(IDC_SETUP_LEFT_MARGIN, 84, 158, 26, 12),
    Spin(IDC_SETUP_LEFT_MARGIN_SPIN, 110, 158, 9, 12),
    Label(122, 160, 14, 8, "桁"),
    Label(10, 176, 72, 8, "ライトマージン幅(&R)"),
    Edit(IDC_SETUP_RIGHT_MARGIN, 84, 174, 26, 12),
    Spin(IDC_SETUP_RIGHT_MARGIN_SPIN, 110, 174, 9, 12),
    Label(122, 176, 14, 8, "桁"),
    Label(10, 192, 72, 8, "カット紙位置補正(&C)"),
    Edit(IDC_SETUP_CORRECTION, 84, 190, 26, 12),
    Spin(IDC_SETUP_CORRECTION_SPIN, 110, 190, 9, 12),
    Label(122, 192, 14, 8, "桁"),
    Button(IDOK, 166, 172, 56, 14, "OK", kDefault),
    Button(IDCANCEL, 166, 190, 56, 14, "キャンセル"),
};

#undef VLMK_SLIDER_ROW

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
