// Control side of the client-library test double: tests reach these through dlsym on the same
// library the driver loaded, so both see one state.
#pragma once

#include <ibase.h>

extern "C" {

// Forgets the log and every planned failure; the next database reports on-disk structure 12.
void fake_reset();
// Makes the next call of `function` fail with this status vector (copied, up to 20 words).
void fake_fail(const char* function, const ISC_STATUS* status, int words);
// The major on-disk structure version that isc_database_info reports.
void fake_set_ods(int major);
// One line per client call, in call order: the function name, then its recorded arguments.
const char* fake_log();

}  // extern "C"
