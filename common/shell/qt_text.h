// CP932 texts to and from the strings widgets show.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "common/sjis.h"

namespace plx {

inline QString QtText(std::string_view cp932) {
    return QString::fromStdString(Cp932ToUtf8(cp932));
}

inline std::string Cp932Text(const QString& text) {
    return Utf8ToCp932(text.toStdString());
}

}  // namespace plx
