#include "output/qt/desktopfolder.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace corvanel::output {

QString desktopFolder()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (path.isEmpty() || !QFileInfo(path).isDir()) {
        return {};
    }
    return path;
}

} // namespace corvanel::output
