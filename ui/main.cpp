#include "ui/messages.h"
#include "ui/u_main.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(corvanel::ui::applicationTitle);
    QGuiApplication::setApplicationDisplayName(corvanel::ui::applicationTitle);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.corvanel.Corvanel"));

    Tfrmmain frmmain;
    frmmain.show();
    return QApplication::exec();
}
