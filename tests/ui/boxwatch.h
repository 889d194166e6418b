#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QtTest>

// Watches for modal message boxes while it lives. Each box that opens is recorded as the user
// saw it and dismissed the way a user would, so a test can check what a handler showed and
// never hangs on a box it did not expect.
class BoxWatch {
public:
    enum class Dismiss { ClickButton, PressReturn, PressEscape };

    struct Seen {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        QStringList buttons;
        bool overrideCursor; // a busy cursor was set while the box was up
    };

    explicit BoxWatch(Dismiss how = Dismiss::ClickButton) : how(how)
    {
        poller.setInterval(10);
        QObject::connect(&poller, &QTimer::timeout, [this] { poll(); });
        poller.start();
    }

    QList<Seen> boxes;
    // A box that did not close when dismissed; it was closed by force so the test could go on.
    bool stuck = false;

private:
    void poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        if (box != current) {
            current = box;
            attempts = 0;
            QStringList texts;
            for (QAbstractButton *b : box->buttons()) {
                texts << b->text();
            }
            boxes.append({box->windowTitle(), box->text(), box->icon(), texts,
                          QGuiApplication::overrideCursor() != nullptr});
        }
        if (++attempts > 50) {
            stuck = true;
            box->done(0);
            return;
        }
        dismiss(box);
    }

    void dismiss(QMessageBox *box)
    {
        QWidget *target = QApplication::focusWidget();
        if (target == nullptr || target->window() != box) {
            target = box;
        }
        switch (how) {
        case Dismiss::ClickButton:
            if (!box->buttons().isEmpty()) {
                QTest::mouseClick(box->buttons().constFirst(), Qt::LeftButton);
            }
            break;
        case Dismiss::PressReturn:
            QTest::keyClick(target, Qt::Key_Return);
            break;
        case Dismiss::PressEscape:
            QTest::keyClick(target, Qt::Key_Escape);
            break;
        }
    }

    Dismiss how;
    QTimer poller;
    QPointer<QMessageBox> current;
    int attempts = 0;
};
