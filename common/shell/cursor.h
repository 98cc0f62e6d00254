// The application's mouse cursor: the hourglass during long work, the normal arrow otherwise.
#pragma once

namespace plx {

// Both are idempotent: the cursor is a setting, not a stack, so a message box that puts the
// arrow back in the middle of long work leaves nothing to unwind.
void SetHourglassCursor();
void SetNormalCursor();

}  // namespace plx
