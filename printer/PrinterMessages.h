// SPDX-License-Identifier: Apache-2.0
// The messages of the printer selection (M1 to M5) and of the send (S1 to S4). Every one is
// shown in a message box titled with the program's name, with the single button OK.
#pragma once

#include <string_view>

namespace vellmark {

enum class MessageIcon { Warning, Information };

struct PrinterMessage {
    std::string_view id;
    std::string_view text;
    MessageIcon icon;
};

inline constexpr PrinterMessage kMessageM1{
    "M1",
    "使用可能なプリンタがありませんでした。プリンタドライバを確認してからやり直してください。\n\n"
    "Vellmarkを終了します。",
    MessageIcon::Warning};
inline constexpr PrinterMessage kMessageM2{
    "M2",
    "インストールされているプリンタの接続先がFILEのため設定値を受信/送信できません。\n"
    "プリンタ設定を確認してやり直してください。\n\nVellmarkを終了します。",
    MessageIcon::Warning};
inline constexpr PrinterMessage kMessageM3{
    "M3", "プリンタが選択されていません。\nプリンタを選択してください。", MessageIcon::Warning};
inline constexpr PrinterMessage kMessageM4{
    "M4",
    "接続先がFILEのため設定値を受信/"
    "送信できません。\nプリンタ設定を確認してやり直してください。\n\n"
    "Vellmarkを終了します。",
    MessageIcon::Warning};
inline constexpr PrinterMessage kMessageM5{
    "M5",
    "接続先がFILEのため設定値を受信/送信できません。\n"
    "プリンタ設定を変更するか、他のプリンタに変更してください。",
    MessageIcon::Information};

inline constexpr PrinterMessage kMessageS1{
    "S1", "プリンタが選択されていません。\nプリンタを選択してください。", MessageIcon::Warning};
inline constexpr PrinterMessage kMessageS2{"S2", "接続先がFILEのため設定値を送信できません。",
                                           MessageIcon::Information};
inline constexpr PrinterMessage kMessageS3{"S3", "プリンタに設定値を送信しました。",
                                           MessageIcon::Information};
inline constexpr PrinterMessage kMessageS4{
    "S4",
    "指定されたプリンタは、現在接続されていないか、プリンタ使用権の制限により使用できません。",
    MessageIcon::Warning};

} // namespace vellmark
