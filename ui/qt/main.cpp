#include "ui/qt/application.h"
#include "ui/qt/u_main.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    corvanel::ui::setUpApplication();

    Tfrmmain frmmain;
    frmmain.show();
    return QApplication::exec();
}
