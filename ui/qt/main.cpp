#include "ui/qt/application.h"
#include "ui/qt/u_main.h"

#include <QApplication>

#include <csignal>

int main(int argc, char *argv[])
{
    // A file-size limit (ulimit -f) raises SIGXFSZ when a save grows a file past it, and by
    // default that ends the program at once, taking the memo's unsaved text with it. Ignored,
    // the write fails with EFBIG instead and the save reports it like a full disk. First of
    // all, before anything writes a file.
    std::signal(SIGXFSZ, SIG_IGN);

    if (!corvanel::ui::graphicalSessionNamed(argc, argv)) {
        corvanel::ui::reportNoGraphicalSession();
        return 1;
    }
    corvanel::ui::exitIfNoPlatformDuringStartUp(true);
    QApplication app(argc, argv);
    corvanel::ui::exitIfNoPlatformDuringStartUp(false);
    corvanel::ui::setUpApplication();

    Tfrmmain frmmain;
    frmmain.show();
    return QApplication::exec();
}
