// The data module: the one connection to the race database and the named query objects the
// program borrows, with the query runner and the single-value lookup on top.
#pragma once

#include <string>

#include "data/sql_connection.h"
#include "data/sql_query.h"

namespace plx {

class Tdm {
public:
    Tdm();

    SqlConnection sc_main;
    SqlQuery sq_mst;  // the day's races
    SqlQuery sq_wk;   // SelectValue lookups of the racer watch
    SqlQuery sq_cfg;  // racer lookup of the settings dialog
    SqlQuery sq_chk;  // racer-watch queries
};

// The program's data module; its connection is opened by start-up and closed at exit.
extern Tdm dm;

// Runs `sql` on `query` and leaves it open on the result. Tries three times, a second apart, and
// after the third failure shows one message with the SQL text and the driver's error text.
// Returns false when the query could not be opened (it is then closed and reads as empty).
bool QueryOpen(SqlQuery& query, const std::string& sql);

// The `resultField` of the first row of `table` whose `keyField` equals `keyValue`, as text;
// empty text when the key is empty (no query is run), when no row matches or the query fails.
std::string SelectValue(SqlQuery& query, const std::string& table, const std::string& keyField,
                        const std::string& keyValue, const std::string& resultField);

}  // namespace plx
