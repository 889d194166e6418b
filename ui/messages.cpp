#include "ui/messages.h"

#include <QMessageBox>
#include <QPushButton>

namespace corvanel::ui {

namespace {

void showBox(QWidget *parent, QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(parent);
    box.setIcon(icon);
    box.setWindowTitle(applicationTitle);
    box.setText(text);
    // Plain text: an error's text may hold '<' and must show as it is.
    box.setTextFormat(Qt::PlainText);
    QPushButton *ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    // Not every window manager hands the activation back to the window the box came from,
    // and that window's handler goes on to give one of its controls the focus.
    if (parent != nullptr) {
        parent->window()->activateWindow();
    }
}

// Compared as UTF-16 code units, so a text ending in "!" or ")" stays as it is while one
// ending in a letter, a digit or any Chinese character, "。" included, gets the full stop.
QString withFullStop(const QString &text)
{
    if (!text.isEmpty() && text.back() > u'.') {
        return text + u'.';
    }
    return text;
}

} // namespace

void showMessage(QWidget *parent, const QString &text)
{
    showBox(parent, QMessageBox::NoIcon, text);
}

void reportError(QWidget *parent, const QString &errorText)
{
    showBox(parent, QMessageBox::Critical, withFullStop(errorText));
}

} // namespace corvanel::ui
