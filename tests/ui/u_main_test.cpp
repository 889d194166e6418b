#include "boxwatch.h"
#include "core/reduction.h"
#include "ui/qt/u_main.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

#include <memory>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QString resultFor(int tens, int units)
{
    return QString::fromStdU16String(corvanel::reduce({tens, units}).resultText);
}

// Pixels of exactly this colour in the image.
int pixelsOf(const QImage &image, QColor colour)
{
    const QRgb wanted = colour.rgb();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == wanted ? 1 : 0;
        }
    }
    return count;
}

// Types text as key presses. QTest::keyClicks knows ASCII only; other characters arrive as a
// key event carrying the character, as an input method would deliver them.
void typeInto(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClicks(widget, QString(c));
        } else {
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

QString focusName()
{
    QWidget *focus = QApplication::focusWidget();
    return focus != nullptr ? focus->objectName() : QString();
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { themePalette = QApplication::palette(); }

    void init() { QVERIFY(openWindow()); }

    void cleanup()
    {
        window.reset();
        QApplication::setPalette(themePalette);
    }

    void layout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        QTest::newRow("lbljushu") << u"lbljushu"_s << u"QLabel"_s << QRect(16, 8, 137, 13)
                                  << u"缩水结果："_s;
        QTest::newRow("memcode") << u"memcode"_s << u"QPlainTextEdit"_s << QRect(16, 24, 249, 321)
                                 << QString();
        QTest::newRow("lblkj") << u"lblkj"_s << u"QLabel"_s << QRect(300, 176, 73, 13)
                               << u"上期开奖："_s;
        QTest::newRow("Label2") << u"Label2"_s << u"QLabel"_s << QRect(408, 176, 33, 13)
                                << u"对奖"_s;
        QTest::newRow("edtcode") << u"edtcode"_s << u"QLineEdit"_s << QRect(300, 192, 73, 21)
                                 << QString();
        QTest::newRow("edtdj") << u"edtdj"_s << u"QLineEdit"_s << QRect(404, 192, 41, 21)
                               << QString();
        QTest::newRow("btnfilt") << u"btnfilt"_s << u"QPushButton"_s << QRect(296, 256, 75, 25)
                                 << u"过滤"_s;
        QTest::newRow("btnsave") << u"btnsave"_s << u"QPushButton"_s << QRect(392, 256, 75, 25)
                                 << u"保存"_s;
        QTest::newRow("btncopy") << u"btncopy"_s << u"QPushButton"_s << QRect(296, 296, 75, 25)
                                 << u"复制"_s;
        QTest::newRow("btnclose") << u"btnclose"_s << u"QPushButton"_s << QRect(392, 296, 75, 25)
                                  << u"退出"_s;
        QTest::newRow("edtcopy") << u"edtcopy"_s << u"QLineEdit"_s << QRect(394, 24, 73, 21)
                                 << QString();
    }
    void layout()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        const QList<QWidget *> found = window->findChildren<QWidget *>(name);
        QCOMPARE(found.size(), 1);
        QWidget *control = found.first();
        QCOMPARE(QString::fromLatin1(control->metaObject()->className()), kind);
        QCOMPARE(control->geometry(), geometry);
        const auto *memo = qobject_cast<QPlainTextEdit *>(control);
        QCOMPARE(memo != nullptr ? memo->toPlainText() : control->property("text").toString(),
                 text);

        // Resizing moves nothing.
        window->resize(800, 560);
        QTRY_COMPARE(window->size(), QSize(800, 560));
        QCOMPARE(control->geometry(), geometry);
    }

    void windowOpensCentredAndResizable()
    {
        QCOMPARE(window->objectName(), u"frmmain"_s);
        QCOMPARE(window->windowTitle(), u"Corvanel"_s);
        QCOMPARE(window->size(), QSize(491, 348));
        QVERIFY(window->rect().contains(window->childrenRect()));
        const QRect area = window->screen()->availableGeometry();
        const QRect frame = window->frameGeometry();
        QVERIFY2((frame.center() - area.center()).manhattanLength() <= 2,
                 qPrintable(u"window at %1,%2 %3x%4 on a screen of %5x%6"_s.arg(frame.x())
                                .arg(frame.y())
                                .arg(frame.width())
                                .arg(frame.height())
                                .arg(area.width())
                                .arg(area.height())));
        window->resize(300, 200);
        QTRY_COMPARE(window->size(), QSize(300, 200));
    }

    void initialState()
    {
        QCOMPARE(focusName(), u"edtcode"_s);
        QVERIFY(memcode->toPlainText().isEmpty());
        QVERIFY(edtcode->text().isEmpty());
        QVERIFY(edtdj->text().isEmpty());
        QVERIFY(!memcode->isReadOnly());
        QVERIFY(memcode->verticalScrollBar()->isVisible());
        auto *edtcopy = window->findChild<QLineEdit *>(u"edtcopy"_s);
        QVERIFY(edtcopy != nullptr);
        QVERIFY(!edtcopy->isVisible());
        QCOMPARE(edtcopy->focusPolicy(), Qt::NoFocus);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    void reductionShowsResult()
    {
        // The entry is emptied before the busy cursor goes back, so what the cursor was at that
        // moment shows whether it was set for the reduction.
        QList<int> cursorWhenEmptied;
        connect(edtcode, &QLineEdit::textChanged, this, [&](const QString &text) {
            if (text.isEmpty()) {
                const QCursor *c = QGuiApplication::overrideCursor();
                cursorWhenEmptied << (c != nullptr ? c->shape() : -1);
            }
        });
        BoxWatch watch;
        QTest::keyClicks(edtcode, u"37"_s);
        QTest::keyClick(edtcode, Qt::Key_Return);

        QVERIFY(watch.boxes.isEmpty());
        const QString memo = memcode->toPlainText();
        QCOMPARE(memo, resultFor(3, 7));
        QCOMPARE(memo.split(u' ', Qt::SkipEmptyParts).size(), 75);
        QVERIFY(memo.startsWith(u"00 01 02 "_s));
        QVERIFY(!memo.contains(u"50 "_s));
        QCOMPARE(lbljushu->text(), u"缩水结果：75注"_s);
        QCOMPARE(lblkj->text(), u"上期：37"_s);
        QVERIFY(edtcode->text().isEmpty());
        QCOMPARE(focusName(), u"edtcode"_s);
        QVERIFY(edtdj->text().isEmpty());
        QCOMPARE(cursorWhenEmptied, QList<int>{Qt::WaitCursor});
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);

        // The one-line result wraps at the memo's width and never scrolls sideways.
        QCOMPARE(memcode->document()->blockCount(), 1);
        QVERIFY(memcode->document()->firstBlock().layout()->lineCount() > 1);
        QVERIFY(!memcode->horizontalScrollBar()->isVisible());
        QVERIFY(memcode->verticalScrollBar()->isVisible());
    }

    void reductionReplacesWhatMemoHeld()
    {
        QTest::keyClicks(edtcode, u"37"_s);
        QTest::keyClick(edtcode, Qt::Key_Return);
        QTest::keyClicks(memcode, u"my notes"_s);
        QVERIFY(memcode->toPlainText().contains(u"my notes"_s));

        QTest::keyClicks(edtcode, u"00"_s);
        QTest::keyClick(edtcode, Qt::Key_Return);
        QCOMPARE(memcode->toPlainText(), resultFor(0, 0));
        QCOMPARE(lblkj->text(), u"上期：00"_s);
        QCOMPARE(lbljushu->text(), u"缩水结果：75注"_s);
    }

    void badEntryPromptsAndKeepsResult_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("byMouse");
        QTest::newRow("empty, Enter") << QString() << false;
        QTest::newRow("empty, 过滤 clicked") << QString() << true;
        QTest::newRow("one digit") << u"3"_s << false;
        QTest::newRow("three digits") << u"377"_s << false;
        QTest::newRow("letter and digit") << u"a7"_s << false;
        QTest::newRow("digit and blank") << u"3 "_s << false;
        QTest::newRow("blank and digit") << u" 7"_s << false;
        QTest::newRow("minus sign") << u"-7"_s << false;
        QTest::newRow("plus sign") << u"+7"_s << true;
        QTest::newRow("full-width digits") << u"３７"_s << false;
    }
    void badEntryPromptsAndKeepsResult()
    {
        QFETCH(QString, entry);
        QFETCH(bool, byMouse);
        QTest::keyClicks(edtcode, u"00"_s);
        QTest::keyClick(edtcode, Qt::Key_Return);
        typeInto(edtcode, entry);
        QCOMPARE(edtcode->text(), entry);
        const QString memo = memcode->toPlainText();
        const QString verdict = edtdj->text();
        QCOMPARE(memo, resultFor(0, 0));

        BoxWatch watch;
        QList<qsizetype> boxesWhenEmptied;
        connect(edtcode, &QLineEdit::textChanged, this, [&](const QString &text) {
            if (text.isEmpty()) {
                boxesWhenEmptied << watch.boxes.size();
            }
        });
        if (byMouse) {
            QTest::mouseClick(btnfilt, Qt::LeftButton);
        } else {
            QTest::keyClick(edtcode, Qt::Key_Return);
        }

        QCOMPARE(watch.boxes.size(), 1);
        const BoxWatch::Seen &box = watch.boxes.first();
        QCOMPARE(box.title, u"Corvanel"_s);
        QCOMPARE(box.text, u"请输入2位数上期开奖号码"_s);
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.buttons, QStringList{u"确定"_s});
        QVERIFY(!box.overrideCursor);
        // Emptied only after the prompt was dismissed; an empty entry raises no change at all.
        QCOMPARE(boxesWhenEmptied, entry.isEmpty() ? QList<qsizetype>{} : QList<qsizetype>{1});

        QVERIFY(edtcode->text().isEmpty());
        QCOMPARE(window->focusWidget(), edtcode);
        // The window gets the focus back once it is active again after the box.
        QTRY_COMPARE(focusName(), u"edtcode"_s);
        QCOMPARE(memcode->toPlainText(), memo);
        QCOMPARE(lbljushu->text(), u"缩水结果：75注"_s);
        QCOMPARE(lblkj->text(), u"上期：00"_s);
        QCOMPARE(edtdj->text(), verdict);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    void enterKey_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("clicked"); // the button Enter clicks, or none
        QTest::addColumn<QString>("memo");

        const auto none = Qt::KeyboardModifiers(Qt::NoModifier);
        const auto keypad = Qt::KeyboardModifiers(Qt::KeypadModifier);
        const QString reduced = resultFor(3, 7);
        QTest::newRow("entry, Return")
            << u"edtcode"_s << Qt::Key_Return << none << u"btnfilt"_s << reduced;
        QTest::newRow("entry, keypad Enter")
            << u"edtcode"_s << Qt::Key_Enter << keypad << u"btnfilt"_s << reduced;
        QTest::newRow("entry, Shift+Return")
            << u"edtcode"_s << Qt::Key_Return << Qt::KeyboardModifiers(Qt::ShiftModifier)
            << QString() << QString();
        QTest::newRow("entry, Ctrl+Return")
            << u"edtcode"_s << Qt::Key_Return << Qt::KeyboardModifiers(Qt::ControlModifier)
            << QString() << QString();
        QTest::newRow("entry, Alt+keypad Enter")
            << u"edtcode"_s << Qt::Key_Enter << (Qt::AltModifier | Qt::KeypadModifier) << QString()
            << QString();
        QTest::newRow("verdict box, Return")
            << u"edtdj"_s << Qt::Key_Return << none << u"btnfilt"_s << reduced;
        QTest::newRow("memo, Return")
            << u"memcode"_s << Qt::Key_Return << none << QString() << u"\n"_s;
        QTest::newRow("memo, keypad Enter")
            << u"memcode"_s << Qt::Key_Enter << keypad << QString() << u"\n"_s;
        QTest::newRow("过滤 focused, Return")
            << u"btnfilt"_s << Qt::Key_Return << none << u"btnfilt"_s << reduced;
        QTest::newRow("复制 focused, Return")
            << u"btncopy"_s << Qt::Key_Return << none << u"btncopy"_s << QString();
        QTest::newRow("退出 focused, keypad Enter")
            << u"btnclose"_s << Qt::Key_Enter << keypad << u"btnclose"_s << QString();
    }
    void enterKey()
    {
        QFETCH(QString, focus);
        QFETCH(Qt::Key, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, clicked);
        QFETCH(QString, memo);
        QTest::keyClicks(edtcode, u"37"_s);
        auto *target = window->findChild<QWidget *>(focus);
        QVERIFY(target != nullptr);
        target->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(focusName(), focus);

        std::vector<std::pair<QString, std::unique_ptr<QSignalSpy>>> spies;
        for (QPushButton *button : {btnfilt, btncopy, btnclose, btnsave}) {
            spies.emplace_back(button->objectName(),
                               std::make_unique<QSignalSpy>(button, &QPushButton::clicked));
        }
        BoxWatch watch;
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);

        for (const auto &[name, spy] : spies) {
            QVERIFY2(spy->count() == (name == clicked ? 1 : 0), qPrintable(name));
        }
        QCOMPARE(memcode->toPlainText(), memo);
        QVERIFY(watch.boxes.isEmpty());
    }

    void tabOrder_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QStringList>("visited");
        QTest::newRow("Tab") << Qt::Key_Tab << Qt::KeyboardModifiers(Qt::NoModifier)
                             << QStringList{u"memcode"_s, u"btnfilt"_s, u"btncopy"_s, u"btnclose"_s,
                                            u"edtdj"_s,   u"btnsave"_s, u"edtcode"_s};
        QTest::newRow("Shift+Tab")
            << Qt::Key_Backtab << Qt::KeyboardModifiers(Qt::ShiftModifier)
            << QStringList{u"btnsave"_s, u"edtdj"_s,   u"btnclose"_s, u"btncopy"_s,
                           u"btnfilt"_s, u"memcode"_s, u"edtcode"_s};
    }
    void tabOrder()
    {
        QFETCH(Qt::Key, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QStringList, visited);
        QCOMPARE(focusName(), u"edtcode"_s);
        QStringList seen;
        for (qsizetype i = 0; i < visited.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
            seen << focusName();
        }
        QCOMPARE(seen, visited);
        // The memo passed the focus on instead of taking the Tab as text.
        QVERIFY(memcode->toPlainText().isEmpty());
    }

    void entrySelectsAllWhenTabbedInto()
    {
        QTest::keyClicks(edtcode, u"37"_s);
        QVERIFY(!edtcode->hasSelectedText());
        QTest::keyClick(edtcode, Qt::Key_Tab);
        QCOMPARE(focusName(), u"memcode"_s);
        QTest::keyClick(memcode, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focusName(), u"edtcode"_s);
        QCOMPARE(edtcode->selectedText(), u"37"_s);
    }

    void entrySelectsAllWhenWindowActivatedAgain()
    {
        QTest::keyClicks(edtcode, u"37"_s);
        QVERIFY(!edtcode->hasSelectedText());
        QWidget other;
        other.setGeometry(10, 10, 100, 100);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(!edtcode->hasFocus());
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QCOMPARE(focusName(), u"edtcode"_s);
        QCOMPARE(edtcode->selectedText(), u"37"_s);
    }

    void clickEmptiesEntry()
    {
        QTest::keyClicks(edtcode, u"37"_s);
        QTest::keyClick(edtcode, Qt::Key_Return);
        QTest::keyClicks(edtcode, u"45"_s);
        QCOMPARE(edtdj->text(), u"中"_s);

        QTest::mouseClick(edtcode, Qt::LeftButton);
        QVERIFY(edtcode->text().isEmpty());
        QCOMPARE(edtdj->text(), u"中"_s); // an empty entry on a result changes nothing

        // Blank the memo by hand: that alone runs no check.
        QTest::keyClicks(edtcode, u"4"_s);
        QTest::mouseClick(memcode->viewport(), Qt::LeftButton);
        QCOMPARE(focusName(), u"memcode"_s);
        QTest::keyClick(memcode, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(memcode, Qt::Key_Delete);
        QVERIFY(memcode->toPlainText().isEmpty());
        QCOMPARE(edtdj->text(), u"中"_s);

        // Emptying the entry by a click is a change: the check on the blank memo empties the
        // verdict.
        QTest::mouseClick(edtcode, Qt::LeftButton);
        QCOMPARE(focusName(), u"edtcode"_s);
        QVERIFY(edtcode->text().isEmpty());
        QVERIFY(edtdj->text().isEmpty());

        // Clicking the empty entry sets the text it already holds: no change, no check.
        QTest::keyClicks(edtdj, u"X"_s);
        QTest::mouseClick(edtcode, Qt::LeftButton);
        QCOMPARE(edtdj->text(), u"X"_s);
        QTest::keyClicks(edtcode, u"4"_s);
        QVERIFY(edtdj->text().isEmpty());
    }

    void drawBeforeReductionLeavesVerdictEmpty()
    {
        QTest::keyClicks(edtdj, u"abc"_s);
        QTest::keyClicks(edtcode, u"45"_s);
        QVERIFY(edtdj->text().isEmpty());
        QVERIFY(memcode->toPlainText().isEmpty());
    }

    void drawCheck_data()
    {
        // Keys typed into the entry after the reduction for 37; '\b' is Backspace.
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QString>("marked");
        QTest::newRow("45 hit") << u"45"_s << u"中"_s << u"45 "_s;
        QTest::newRow("55 hit on the units digit") << u"55"_s << u"中"_s << u"55 "_s;
        QTest::newRow("00 first entry") << u"00"_s << u"中"_s << u"00 "_s;
        QTest::newRow("52 miss") << u"52"_s << u"X"_s << QString();
        QTest::newRow("digit and blank match as text") << u"1 "_s << u"中"_s << u"1 0"_s;
        QTest::newRow("miss keeps the last mark") << u"45\b\b52"_s << u"X"_s << u"45 "_s;
        QTest::newRow("one character changes nothing") << u"45\b"_s << u"中"_s << u"45 "_s;
        QTest::newRow("three characters change nothing") << u"455"_s << u"中"_s << u"45 "_s;
    }
    void drawCheck()
    {
        QFETCH(QString, keys);
        QFETCH(QString, verdict);
        QFETCH(QString, marked);
        QTest::keyClicks(edtcode, u"37"_s);
        QTest::keyClick(edtcode, Qt::Key_Return);
        for (const QChar c : keys) {
            if (c == u'\b') {
                QTest::keyClick(edtcode, Qt::Key_Backspace);
            } else {
                QTest::keyClicks(edtcode, QString(c));
            }
        }
        QCOMPARE(edtdj->text(), verdict);
        QCOMPARE(memcode->textCursor().selectedText(), marked);
        QCOMPARE(focusName(), u"edtcode"_s);
        QCOMPARE(memcode->toPlainText(), resultFor(3, 7));
    }

    void hitPositionCountsLineBreaks_data()
    {
        // Typed at the start of the memo: 'R' Return (a new paragraph), 'S' Shift+Return (a line
        // break inside the paragraph).
        QTest::addColumn<QString>("breaks");
        QTest::newRow("one Return") << u"R"_s;
        QTest::newRow("two Returns") << u"RR"_s;
        QTest::newRow("Shift+Return") << u"S"_s;
        QTest::newRow("mixed") << u"RSR"_s;
    }
    void hitPositionCountsLineBreaks()
    {
        QFETCH(QString, breaks);
        QTest::keyClicks(edtcode, u"37"_s);
        QTest::keyClick(edtcode, Qt::Key_Return);
        QTest::keyClick(edtcode, Qt::Key_Tab);
        QCOMPARE(focusName(), u"memcode"_s);
        QTest::keyClick(memcode, Qt::Key_Home, Qt::ControlModifier);
        for (const QChar c : breaks) {
            QTest::keyClick(memcode, Qt::Key_Return,
                            c == u'S' ? Qt::ShiftModifier : Qt::NoModifier);
        }
        const QString memo = memcode->toPlainText();
        QCOMPARE(memo, QString(breaks.size(), u'\n') + resultFor(3, 7));

        QTest::keyClick(memcode, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focusName(), u"edtcode"_s);
        QTest::keyClicks(edtcode, u"45"_s);
        QCOMPARE(edtdj->text(), u"中"_s);
        QCOMPARE(memcode->textCursor().selectedText(), u"45 "_s);
        QCOMPARE(memcode->textCursor().selectionStart(), memo.indexOf(u"45"_s));
    }

    void hitMarkShowsWhileEntryHasFocus()
    {
        // A desktop theme may draw an unfocused selection in a colour close to the background,
        // as some do: here exactly the background, so only the window's own setting shows it.
        QPalette theme = QApplication::palette();
        theme.setColor(QPalette::Inactive, QPalette::Highlight,
                       theme.color(QPalette::Inactive, QPalette::Base));
        QApplication::setPalette(theme);
        window.reset();
        QVERIFY(openWindow());

        QTest::keyClicks(edtcode, u"37"_s);
        QTest::keyClick(edtcode, Qt::Key_Return);
        const QColor mark = theme.color(QPalette::Active, QPalette::Highlight);
        QCOMPARE(pixelsOf(memcode->viewport()->grab().toImage(), mark), 0);

        QTest::keyClicks(edtcode, u"45"_s);
        QCOMPARE(focusName(), u"edtcode"_s);
        QVERIFY(!memcode->hasFocus());
        // The selected "45 " drawn in the highlight colour: a few hundred pixels at any font.
        const int marked = pixelsOf(memcode->viewport()->grab().toImage(), mark);
        QVERIFY2(marked > 50, qPrintable(QString::number(marked)));
    }

    // What a screen reader finds in the window: three text boxes, each named by the caption
    // above it as that caption reads now, and not the hidden edtcopy.
    void screenReaderNamesEachBox()
    {
        const auto boxes = [this] {
            QStringList named;
            QAccessibleInterface *form = QAccessible::queryAccessibleInterface(window.get());
            for (int i = 0; form != nullptr && i < form->childCount(); ++i) {
                QAccessibleInterface *child = form->child(i);
                if (child->role() != QAccessible::EditableText) {
                    continue;
                }
                QString labels;
                for (const auto &[label, relation] : child->relations(QAccessible::Label)) {
                    labels += label->object()->objectName();
                }
                named << child->object()->objectName() + u" \""_s + child->text(QAccessible::Name) +
                             u"\" by "_s + labels;
            }
            named.sort();
            return named;
        };
        QCOMPARE(boxes(),
                 (QStringList{u"edtcode \"上期开奖：\" by lblkj"_s, u"edtdj \"对奖\" by Label2"_s,
                              u"memcode \"缩水结果：\" by lbljushu"_s}));
        QTest::keyClicks(edtcode, u"37"_s);
        QTest::keyClick(edtcode, Qt::Key_Return);
        QCOMPARE(boxes(),
                 (QStringList{u"edtcode \"上期：37\" by lblkj"_s, u"edtdj \"对奖\" by Label2"_s,
                              u"memcode \"缩水结果：75注\" by lbljushu"_s}));
    }

    void closeButtonEndsProgram()
    {
        // The program's event loop ends when its window closes; a watchdog ends it otherwise.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, this, [] { QCoreApplication::exit(1); });
        watchdog.start(10000);
        BoxWatch watch;
        QTimer::singleShot(0, btnclose, [this] { QTest::mouseClick(btnclose, Qt::LeftButton); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(watchdog.isActive());
        QVERIFY(!window->isVisible());
        QVERIFY(watch.boxes.isEmpty());
    }

private:
    // Opens a new window and finds its controls; false when it did not become active or a
    // control is missing.
    [[nodiscard]] bool openWindow()
    {
        window = std::make_unique<Tfrmmain>();
        window->show();
        if (!QTest::qWaitForWindowActive(window.get())) {
            return false;
        }
        memcode = window->findChild<QPlainTextEdit *>(u"memcode"_s);
        btnfilt = window->findChild<QPushButton *>(u"btnfilt"_s);
        btncopy = window->findChild<QPushButton *>(u"btncopy"_s);
        btnclose = window->findChild<QPushButton *>(u"btnclose"_s);
        btnsave = window->findChild<QPushButton *>(u"btnsave"_s);
        lbljushu = window->findChild<QLabel *>(u"lbljushu"_s);
        lblkj = window->findChild<QLabel *>(u"lblkj"_s);
        edtdj = window->findChild<QLineEdit *>(u"edtdj"_s);
        edtcode = window->findChild<QLineEdit *>(u"edtcode"_s);
        return memcode && btnfilt && btncopy && btnclose && btnsave && lbljushu && lblkj && edtdj &&
               edtcode;
    }

    QPalette themePalette;
    std::unique_ptr<Tfrmmain> window;
    QPlainTextEdit *memcode = nullptr;
    QPushButton *btnfilt = nullptr;
    QPushButton *btncopy = nullptr;
    QPushButton *btnclose = nullptr;
    QPushButton *btnsave = nullptr;
    QLabel *lbljushu = nullptr;
    QLabel *lblkj = nullptr;
    QLineEdit *edtdj = nullptr;
    QLineEdit *edtcode = nullptr;
};

QTEST_MAIN(MainWindowTest)
#include "u_main_test.moc"
