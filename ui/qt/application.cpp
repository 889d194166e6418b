#include "ui/qt/application.h"

#include "output/qt/utf16text.h"
#include "ui/texts.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace corvanel::ui {

namespace {

const char *const appId = "org.corvanel.Corvanel";

QtMessageHandler qtHandler = nullptr;

void exitOnFatal(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg) {
        reportNoGraphicalSession();
        // Inside the QApplication's constructor: nothing to clean up, and Qt is half made.
        std::_Exit(1);
    }
    qtHandler(type, context, message);
}

bool isSet(const char *name)
{
    const char *value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

} // namespace

void setUpApplication()
{
    const QString title = output::qstr(applicationTitle);
    QApplication::setApplicationName(title);
    QGuiApplication::setApplicationDisplayName(title);
    QGuiApplication::setDesktopFileName(QLatin1String(appId));
    // Every window of the program, message boxes and the save dialog included.
    QApplication::setWindowIcon(programIcon());

    // Every text of the program is Chinese, whatever the user's locale; the save dialog and the
    // text boxes' context menus come from Qt and should not be the only English on screen.
    // Without Qt's translations installed they stay English, which is all that is lost.
    auto *qtTexts = new QTranslator(qApp);
    if (qtTexts->load(QStringLiteral("qtbase_zh_CN"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qtTexts);
    }
}

QIcon programIcon()
{
    // The built-in copy is packaging/'s SVG, the one the install rules put into the hicolor
    // theme; drawing it needs Qt's SVG icon engine (libqt6svg6).
    return QIcon::fromTheme(QLatin1String(appId),
                            QIcon(QStringLiteral(":/icons/org.corvanel.Corvanel.svg")));
}

bool graphicalSessionNamed(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 ||
            std::strncmp(argv[i], "-platform=", 10) == 0) {
            return true;
        }
    }
    return isSet("QT_QPA_PLATFORM") || isSet("DISPLAY") || isSet("WAYLAND_DISPLAY");
}

void reportNoGraphicalSession()
{
    std::fputs("corvanel: Corvanel is a desktop program and needs a graphical session (an X11 or "
               "Wayland display), but none could be reached.\n",
               stderr);
    std::fflush(stderr);
}

void exitIfNoPlatformDuringStartUp(bool on)
{
    if (on) {
        qtHandler = qInstallMessageHandler(exitOnFatal);
    } else {
        qInstallMessageHandler(qtHandler);
        qtHandler = nullptr;
    }
}

} // namespace corvanel::ui
