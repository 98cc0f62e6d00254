// Racer lookup, list order and the watch-list file.
#include "dialogs/racer_list.h"

#include <algorithm>
#include <climits>

#include "common/message.h"
#include "common/sjis.h"
#include "common/textutil.h"
#include "data/data_module.h"

namespace plx {

std::optional<std::string> RacerKeyOf(const std::string& typed) {
    long long number = TextToInt(typed);
    // A number past the integer range counts as no number at all, as it always has.
    if (number <= 0 || number > INT_MAX) return std::nullopt;
    return ZeroPad(number, 5);
}

std::optional<std::string> LookUpRacerLine(const std::string& key) {
    SqlQuery& query = dm.sq_cfg;
    std::string name;
    bool found = QueryOpen(query, "SELECT * FROM RIDER WHERE ENTNO=" + SqlLiteral(key)) && !query.IsEmpty();
    if (found) name = RemoveFullWidthBlanks(TrimTrailingBlanks(query.FieldAsText("RIDERNM")));
    query.Close();
    if (!found && ShowMsg(SJ("入力された選手は見つかりません。\n登録してもよろしいですか？")) != kMsgOk)
        return std::nullopt;
    return key + ":" + name;
}

std::size_t InsertSorted(std::vector<std::string>& lines, std::string line) {
    auto at = std::upper_bound(lines.begin(), lines.end(), line);
    std::size_t index = static_cast<std::size_t>(at - lines.begin());
    lines.insert(at, std::move(line));
    return index;
}

void SortLines(std::vector<std::string>& lines) {
    std::stable_sort(lines.begin(), lines.end());
}

}  // namespace plx
