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
};

} // namespace

std::string_view LoadString(int id) {
    for (const StringEntry& e : kStrings)
        if (e.id == id)
            return e.text;
    return {};
}

} // namespace vellmark::res
