// The data module, the query runner and the single-value lookup.
#include "data/data_module.h"

#include <chrono>
#include <thread>

#include "common/message.h"
#include "common/sjis.h"
#include "common/textutil.h"

namespace plx {

Tdm::Tdm() : sq_mst(sc_main, "sq_mst"), sq_wk(sc_main, "sq_wk"), sq_cfg(sc_main, "sq_cfg"), sq_chk(sc_main, "sq_chk") {}

Tdm dm;

bool QueryOpen(SqlQuery& query, const std::string& sql) {
    constexpr int kAttempts = 3;
    std::string error;
    query.SetSql(sql);
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        if (query.Open(&error)) return true;  // Open closes any earlier result first
        // A plain sleep: the user interface waits, and no window message runs in between.
        if (attempt < kAttempts) std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    ShowMsg(SJ("問い合わせオープンでエラーが発生しました。") + "\n" + sql + "\n" + error);
    return false;
}

std::string SelectValue(SqlQuery& query, const std::string& table, const std::string& keyField,
                        const std::string& keyValue, const std::string& resultField) {
    if (keyValue.empty()) return {};
    QueryOpen(query, "SELECT " + resultField + " FROM " + table + " WHERE " + keyField + "=" + SqlLiteral(keyValue));
    if (query.IsEmpty()) return {};
    return query.FieldAsText(resultField);
}

}  // namespace plx
