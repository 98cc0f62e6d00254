// The timetable file PLX_POSTTM.DAT: the 37152-byte memory image of the timetable in the
// program folder, rewritten whole after every change and every second while alarms run.
#pragma once

#include <string>

#include "board/timetable.h"

namespace plx {

inline constexpr const char* kTimetableFileName = "PLX_POSTTM.DAT";

// Writes the whole table to `folder` + PLX_POSTTM.DAT. The bytes go to a temporary file beside it
// that is then renamed over the old one, so a crash or a kill mid-save leaves the previous image,
// never a short file. Returns 0, or -1 after showing "TimeTable File Open Error!" (cannot create
// or replace the file) or "TimeTable File Write Error!" (short write).
int SaveTimetable(const Timetable& table, const std::string& folder);

// Reads the table from the file. A missing file gives a blank table that is saved at once. A file
// shorter than a table shows "TimeTable File Read Error!" and returns -1; the bytes read replace
// the start of the table and the rest is blank. Longer files load their first 37152 bytes.
int LoadTimetable(Timetable& table, const std::string& folder);

// The program's timetable in the program folder.
int SaveTimetable();
int LoadTimetable();

}  // namespace plx
