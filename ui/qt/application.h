#pragma once

// How the program presents itself to the desktop: its names, and the language of Qt's own
// dialogs. Called once, right after the QApplication is made.

namespace corvanel::ui {

void setUpApplication();

} // namespace corvanel::ui
