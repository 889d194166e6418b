#include "ui/qt/messages.h"

#include "output/qt/utf16text.h"
#include "ui/texts.h"

#include <QMessageBox>
#include <QPushButton>

namespace corvanel::ui {

using output::qstr;

namespace {

void showBox(QWidget *parent, QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(parent);
    box.setIcon(icon);
    box.setWindowTitle(qstr(applicationTitle));
    box.setText(text);
    // Plain text: an error's text may hold '<' and must show as it is.
    box.setTextFormat(Qt::PlainText);
    QPushButton *ok = box.addButton(qstr(okButtonText), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    // Not every window manager hands the activation back to the window the box came from,
    // and that window's handler goes on to give one of its controls the focus.
    if (parent != nullptr) {
        parent->window()->activateWindow();
    }
}

} // namespace

void showMessage(QWidget *parent, const QString &text)
{
    showBox(parent, QMessageBox::NoIcon, text);
}

void reportError(QWidget *parent, const QString &errorText)
{
    showBox(parent, QMessageBox::Critical, qstr(withFullStop(output::u16(errorText))));
}

} // namespace corvanel::ui
