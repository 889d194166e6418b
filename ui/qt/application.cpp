#include "ui/qt/application.h"

#include "ui/texts.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace corvanel::ui {

void setUpApplication()
{
    const QString title =
        QString::fromUtf16(applicationTitle.data(), qsizetype(applicationTitle.size()));
    QApplication::setApplicationName(title);
    QGuiApplication::setApplicationDisplayName(title);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.corvanel.Corvanel"));

    // Every text of the program is Chinese, whatever the user's locale; the save dialog and the
    // text boxes' context menus come from Qt and should not be the only English on screen.
    // Without Qt's translations installed they stay English, which is all that is lost.
    auto *qtTexts = new QTranslator(qApp);
    if (qtTexts->load(QStringLiteral("qtbase_zh_CN"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qtTexts);
    }
}

} // namespace corvanel::ui
