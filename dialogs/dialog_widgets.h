// Small helpers shared by the settings dialog's tabs: UTF-8 captions and named controls.
#pragma once

#include <QString>

namespace plx {

// A caption written in UTF-8 in the source.
inline QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// `widget` with its object name set, which is how tests and style sheets find it.
template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace plx
