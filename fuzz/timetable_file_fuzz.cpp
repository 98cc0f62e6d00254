// Fuzz target: any bytes as the timetable file. The load takes what is there (blank for what is
// missing), a save writes exactly the table, a reload gives the same bytes, and the board reads
// every slot without looking outside it.
#include <cstring>
#include <string>

#include "board/board_model.h"
#include "board/timetable_file.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string folder = plxfuzz::ScratchFolder();
    const std::string path = folder + plx::kTimetableFileName;
    plxfuzz::WriteWholeFile(path, bytes);
    plxfuzz::CountingMessages messages;

    static plx::Timetable table;
    std::memset(table.bytes(), 'x', plx::Timetable::kBytes);  // left-overs would show as "x"
    const bool whole = size >= plx::Timetable::kBytes;
    const int loaded = plx::LoadTimetable(table, folder);
    FUZZ_CHECK(loaded == (whole ? 0 : -1), "load gave " + std::to_string(loaded) + " for " + std::to_string(size));
    FUZZ_CHECK(messages.count == (whole ? 0 : 1), "messages: " + std::to_string(messages.count));

    std::string image(bytes.substr(0, plx::Timetable::kBytes));
    image.resize(plx::Timetable::kBytes, ' ');
    FUZZ_CHECK(std::memcmp(table.bytes(), image.data(), image.size()) == 0, "the table is not the file's bytes");

    FUZZ_CHECK(plx::SaveTimetable(table, folder) == 0, "save failed");
    FUZZ_CHECK(plxfuzz::ReadWholeFile(path) == image, "the saved file is not the table");
    static plx::Timetable again;
    FUZZ_CHECK(plx::LoadTimetable(again, folder) == 0, "reload failed");
    FUZZ_CHECK(std::memcmp(again.bytes(), image.data(), image.size()) == 0, "reload gave other bytes");

    const std::string date = plx::BoardDateYmd(again);
    FUZZ_CHECK(date.empty() || date.size() == 8, plxfuzz::Escaped(date));
    for (int venue = 1; venue <= plx::kVenues; ++venue) {
        for (int race = 1; race <= plx::kRacesPerVenue; ++race) {
            const plx::BoardRow row = plx::BoardRowAt(again, venue, race);
            FUZZ_CHECK(row.time.empty() || row.time.size() == 5, plxfuzz::Escaped(row.time));
            FUZZ_CHECK(row.selected == (again.Slot(venue, race).AlarmFlag == '1'), "selection differs from the flag");
        }
    }
    return 0;
}
