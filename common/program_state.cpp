// Program-wide state.
#include "common/program_state.h"

#include "common/clock.h"

namespace plx {
namespace {
ProgramState state;
}

ProgramState& Program() {
    return state;
}

void ResetProgram() {
    state = ProgramState{};
}

std::string SoundFolderBase() {
    return state.programFolder.empty() ? state.exeFolder : state.programFolder;
}

void ApplyLoadedSettings(const Settings& loaded) {
    state.settings = loaded;
    // The first racer check falls on the first timer tick when the interval is at least a minute.
    std::int64_t now = TickCount();
    state.lastCheckTick = loaded.CHK_INTERVAL >= 1 ? now - static_cast<std::int64_t>(loaded.CHK_INTERVAL) * 60000 : now;
    state.newsBaseline = loaded.NEWS_LAST_RLSDTTM;
    state.slotVenue = {loaded.SET_RCOURSECD1, loaded.SET_RCOURSECD2, loaded.SET_RCOURSECD3};
}

}  // namespace plx
