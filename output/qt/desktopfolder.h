#pragma once

#include <QString>

namespace corvanel::output {

// The user's Desktop folder: XDG_DESKTOP_DIR from $XDG_CONFIG_HOME/user-dirs.dirs (by default
// ~/.config/user-dirs.dirs), or ~/Desktop when the file does not set it, as xdg-user-dir and
// Qt read it. Empty when that folder does not exist, so a caller can fall back to its own
// default place.
QString desktopFolder();

} // namespace corvanel::output
