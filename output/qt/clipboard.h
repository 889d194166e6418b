#pragma once

#include <QString>

namespace corvanel::output {

// Puts text on the system clipboard as plain text, replacing what it held. The text goes as it
// is, line breaks included. Needs a QGuiApplication.
void copyText(const QString &text);

} // namespace corvanel::output
