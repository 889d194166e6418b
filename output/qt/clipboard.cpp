#include "output/qt/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace corvanel::output {

void copyText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

} // namespace corvanel::output
