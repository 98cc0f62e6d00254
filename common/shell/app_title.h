// The application title: the caption of every message box and the tip of the tray icon.
#pragma once

namespace plx {

inline constexpr char kApplicationTitle[] = "Pilonix";

}  // namespace plx
