#pragma once

#include <QString>

#include <exception>
#include <utility>

class QWidget;

// The program's message boxes: every message and every error reaches the user through these two,
// modal, with the application's title as caption and one button "确定".

namespace corvanel::ui {

// Shows text and waits until the user dismisses it. No icon.
void showMessage(QWidget *parent, const QString &text);

// The application's report of an error that stopped a handler: an error icon and the text,
// with "." added when its last character sorts after "." (withFullStop, ui/texts.h).
void reportError(QWidget *parent, const QString &errorText);

// Runs one handler's body. Qt's event dispatch must never be unwound by an exception, so an
// exception that escapes the body ends the body there and goes to reportError; the program goes
// on. Anything thrown that is not a std::exception is a bug and terminates here.
template <typename Body> void guard(QWidget *parent, Body &&body) noexcept
{
    try {
        std::forward<Body>(body)();
    } catch (const std::exception &e) {
        reportError(parent, QString::fromUtf8(e.what()));
    }
}

} // namespace corvanel::ui
