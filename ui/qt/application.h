#pragma once

#include <QIcon>

// How the program presents itself to the desktop: its names, its icon, and the language of Qt's
// own dialogs; and what it says when there is no desktop to present itself to.

namespace corvanel::ui {

// Called once, right after the QApplication is made.
void setUpApplication();

// The program's icon: the icon theme's, by the program's id, where it is installed; otherwise
// the picture built into the program.
QIcon programIcon();

// Whether the command line (-platform) or the environment (QT_QPA_PLATFORM, or the display of
// an X11 or a Wayland session) names somewhere for the window to go. Without any of them Qt
// would abort.
bool graphicalSessionNamed(int argc, char *argv[]);

// Tells the user, on standard error, that the program needs a graphical session.
void reportNoGraphicalSession();

// While on, a fatal error from Qt (a display that is named but cannot be reached, a platform
// that fails to start) is reported with reportNoGraphicalSession and ends the program with
// status 1, instead of aborting with a core dump. On for the QApplication's construction only.
void exitIfNoPlatformDuringStartUp(bool on);

} // namespace corvanel::ui
