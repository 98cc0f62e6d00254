// Fuzz target: any bytes as the settings file (and as MARLO.INI) through the settings store. What
// was read must come back out unchanged after both saves, and the saves must keep every other key.
#include <string>
#include <utility>
#include <vector>

#include "common/files.h"
#include "common/settings_store.h"
#include "data/marlo_ini.h"
#include "fuzz/fuzz_support.h"

namespace {

using Fields = std::vector<std::pair<const char*, std::string>>;

Fields FieldsOf(const plx::Settings& s) {
    auto n = [](int value) { return std::to_string(value); };
    return {{"MARLO", s.MARLO},
            {"LEFT", n(s.LEFT)},
            {"TOP", n(s.TOP)},
            {"WIDTH", n(s.WIDTH)},
            {"HEIGHT", n(s.HEIGHT)},
            {"AUTO_START_F", n(s.AUTO_START_F)},
            {"AUTOSTART_F", n(s.AUTOSTART_F)},
            {"MSG_LOCATE", n(s.MSG_LOCATE)},
            {"ALARM_MIN", n(s.ALARM_MIN)},
            {"ALARM_MODE", n(s.ALARM_MODE)},
            {"ALARM_SND_F", n(s.ALARM_SND_F)},
            {"ALARM_INFO_F", n(s.ALARM_INFO_F)},
            {"ALARM_RFD_F", n(s.ALARM_RFD_F)},
            {"TIMER_F", n(s.TIMER_F)},
            {"TIMER_MIN", n(s.TIMER_MIN)},
            {"TIMER_SND_F", n(s.TIMER_SND_F)},
            {"NEWS_ALARM_MODE", n(s.NEWS_ALARM_MODE)},
            {"NEWS_ALARM_SND_F", n(s.NEWS_ALARM_SND_F)},
            {"ODDS_MULTI_WINDOW_F", n(s.ODDS_MULTI_WINDOW_F)},
            {"ALARM_SND_FNM", s.ALARM_SND_FNM},
            {"TIMER_SND_FNM", s.TIMER_SND_FNM},
            {"NEWS_ALARM_SND_FNM", s.NEWS_ALARM_SND_FNM},
            {"CHK_F", n(s.CHK_F)},
            {"CHK_INTERVAL", n(s.CHK_INTERVAL)},
            {"NEWS_LAST_RLSDTTM", s.NEWS_LAST_RLSDTTM},
            {"SMTP_HOST", s.SMTP_HOST},
            {"SMTP_USER", s.SMTP_USER},
            {"MAIL_ADRS1", s.MAIL_ADRS1},
            {"MAIL_ADRS2", s.MAIL_ADRS2},
            {"AUTO_QUIT_F", n(s.AUTO_QUIT_F)},
            {"SET_RCOURSECD1", n(s.SET_RCOURSECD1)},
            {"SET_RCOURSECD2", n(s.SET_RCOURSECD2)},
            {"SET_RCOURSECD3", n(s.SET_RCOURSECD3)}};
}

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

void CheckMarloIni(std::string_view bytes) {
    const std::string folder = plxfuzz::ScratchFolder();
    plxfuzz::WriteWholeFile(folder + "MARLO.INI", bytes);
    const plx::MarloCredentials credentials = plx::ReadMarloCredentials(folder);
    // A value is read from one line; a break in it would end the connection string's field early.
    FUZZ_CHECK(!HasLineBreak(credentials.user) && !HasLineBreak(credentials.password),
               plxfuzz::Escaped(credentials.user + "/" + credentials.password));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string folder = plxfuzz::ScratchFolder();
    const std::string path = folder + "plx.INI";
    plxfuzz::WriteWholeFile(path, bytes);

    const plx::SettingsStore store(path);
    const plx::Settings loaded = store.Load(folder);
    const Fields before = FieldsOf(loaded);
    for (const auto& [key, value] : before) FUZZ_CHECK(!HasLineBreak(value), key + (": " + plxfuzz::Escaped(value)));

    std::string error;
    if (!store.SaveDialog(loaded, &error)) {
        // A file that could not be read whole is never rewritten from what was read of it.
        std::string after;
        FUZZ_CHECK(plx::ReadFileBytes(path, &after) == plx::FileRead::Ok && after == bytes,
                   "a refused save changed the file: " + error);
        CheckMarloIni(bytes);
        return 0;
    }
    FUZZ_CHECK(store.SaveProgramEnd(loaded.LEFT, loaded.TOP, loaded.MARLO, loaded.NEWS_LAST_RLSDTTM,
                                    {loaded.SET_RCOURSECD1, loaded.SET_RCOURSECD2, loaded.SET_RCOURSECD3}, &error),
               error);
    const Fields after = FieldsOf(store.Load(folder));
    for (std::size_t i = 0; i < before.size(); ++i)
        FUZZ_CHECK(before[i].second == after[i].second, std::string(before[i].first) + ": read " +
                                                            plxfuzz::Escaped(before[i].second) + ", after saving " +
                                                            plxfuzz::Escaped(after[i].second));

    CheckMarloIni(bytes);
    return 0;
}
