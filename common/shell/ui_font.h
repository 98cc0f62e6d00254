// The program's 12-pixel Gothic faces: proportional for windows and labels, fixed-pitch for the
// board's time grids. Qt falls back to another face where these are not installed.
#pragma once

#include <QFont>

namespace plx {

enum class FontPitch { Proportional, Fixed };

inline QFont UiFont(FontPitch pitch = FontPitch::Proportional) {
    QFont font(pitch == FontPitch::Fixed ? QStringLiteral("IPAGothic") : QStringLiteral("IPAPGothic"));
    font.setPixelSize(12);
    return font;
}

}  // namespace plx
