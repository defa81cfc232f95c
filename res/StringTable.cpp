// SPDX-License-Identifier: Apache-2.0
#include "StringTable.h"

#include "ResourceIds.h"

namespace vellmark::res {
namespace {

struct StringEntry {
    int id;
    std::string_view text;
};

constexpr StringEntry kStrings[] = {
    {ID_DATA_CHECK, "データチェック用コマンド"},
    {IDP_PARSE_INT, "整数を入力してください。"},
    {IDP_PARSE_INT_RANGE, "%1 から %2 までの整数を入力してください。"},
    {IDP_PARSE_STRING_SIZE, "%1 文字以内で入力してください。"},
    // Toolbar tooltips, under the ids of their buttons.
    {ID_TB_LOAD, "設定ファイルの読み込み"},
    {ID_TB_SAVE, "設定ファイルへの書き込み"},
    {ID_TB_SEND, "設定値をプリンタへ送信"},
    {ID_TB_FACTORY, "工場出荷設定を表示"},
    {ID_TB_PRINTER, "プリンタの選択"},
    // The main window's messages.
    {IDS_LOAD_DISCARD, "設定が変更されています。\nコマンドを続行すると設定の変更は破棄されます。"},
    {IDS_FACTORY_CONFIRM, "現在の設定値は破棄されます、\n工場出荷設定値に変更しますか？"},
    {IDS_FACTORY_SHOWN, "工場出荷設定値を表示しました。"},
    {IDS_SWITCH_SEND,
     "設定値が変更されています。\nプリンタを切り替える前に、設定値をプリンタへ送信しますか？"},
    {IDS_SWITCH_SAVE,
     "設定値が変更されています。\nプリンタを切り替える前に、設定ファイルへ保存しますか？"},
    {IDS_EXIT_SEND, "Vellmark を終了する前に、設定値をプリンタへ送信しますか？"},
    {IDS_EXIT_SAVE, "Vellmark を終了する前に、設定ファイルへ保存しますか？"},
    {IDS_HELP_MISSING, "ヘルプファイルが見つかりません。"},
    {IDS_NOT_SETTINGS_FILE, "このファイルは設定ファイルではありません。"},
    {IDS_WRITE_DENIED, "設定ファイルの書き込みに失敗しました。\nこのディレクトリに保存するアクセス"
                       "許可がない可能性があり"
                       "ます。\n設定ファイルの保存先を変更してやり直してください。"},
    {IDS_WRITE_FAILED, "設定ファイルの書き込みに失敗しました。"},
    {IDS_FILE_FILTER, "VM設定ファイル (*.dat)"},
    {IDS_STATUS_PRINTER, "プリンタ名： %s"},
    {IDS_STATUS_DESTINATION, "接続先： %s"},
    {IDS_MESSAGE_CAPTION, "Vellmark"},
    {IDS_HELP_VIEWER_FAILED, "ヘルプを表示するプログラムを起動できませんでした。\n"
                             "次のヘルプファイルをブラウザで開いてください。\n%s"},
    {IDS_FILE_IN_USE, "このファイルは他のプログラムが使用中です。\n"
                      "しばらくしてからやり直してください。"},
    {IDS_SERVER_SILENT, "プリントサーバー %s が応答しません。\n"
                        "プリンタの一覧を取得できないため、プリンタは切り替えていません。"
                        "設定値はそのままです。\nしばらくしてからやり直してください。"},
    // The pages' and the form setup dialog's texts.
    {IDS_CUT_CENTERING_RANGE, "カット紙のセンタリング位置の値が設定範囲を超えています。\n"
                              "適正値に変更します。"},
    {IDS_CUT_CENTERING_CAPTION, "パラメータ設定－カット紙のセンタリング位置"},
    {IDS_CONT_CENTERING_RANGE, "連続紙のセンタリング位置の値が設定範囲を超えています。\n"
                               "適正値に変更します。"},
    {IDS_CONT_CENTERING_CAPTION, "パラメータ設定－連続紙のセンタリング位置"},
    {IDS_FORM_SETUP_TITLE, "書式の設定：%1"},
    {IDS_MARGIN_ORDER,
     "ライトマージン幅はレフトマージン幅より大きくしてください。適正値に変更します。"},
    {IDS_MARGIN_ORDER_CAPTION, "%1－レフトマージン幅／ライトマージン幅"},
    {IDS_FORM_BUTTON, "%1の設定(&D)"},
    {IDS_SPIN_UP, "上へ"},
    {IDS_SPIN_DOWN, "下へ"},
};

} // namespace

std::string_view LoadString(int id) {
    for (const StringEntry& e : kStrings)
        if (e.id == id)
            return e.text;
    return {};
}

} // namespace vellmark::res
