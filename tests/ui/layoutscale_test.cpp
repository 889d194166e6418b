#include "ui/qt/u_main.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

// The window with larger fonts: every text stays whole, the layout grows by one factor, and the
// ordinary fonts keep the layout's pixels. Run with the environment of a larger font or a denser
// screen as well (tests/ui/CMakeLists.txt): QT_FONT_DPI without Qt's scaling, a style sheet's
// font size, Qt's scaling with a screen too small for the window.

namespace {

struct Placement {
    QString name;
    QRect at96; // client pixels at 96 DPI with an ordinary font
};

const Placement placements[] = {
    {u"lbljushu"_s, {16, 8, 137, 13}},  {u"memcode"_s, {16, 24, 249, 321}},
    {u"lblkj"_s, {300, 176, 73, 13}},   {u"Label2"_s, {408, 176, 33, 13}},
    {u"edtcode"_s, {300, 192, 73, 21}}, {u"edtdj"_s, {404, 192, 41, 21}},
    {u"btnfilt"_s, {296, 256, 75, 25}}, {u"btnsave"_s, {392, 256, 75, 25}},
    {u"btncopy"_s, {296, 296, 75, 25}}, {u"btnclose"_s, {392, 296, 75, 25}},
};
const QSize clientAt96(491, 348);

// Pixels of the widget in its text colour, pure red here, antialiased edges included.
int textPixels(QWidget *widget)
{
    const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() - std::max(c.green(), c.blue()) > 60 ? 1 : 0;
        }
    }
    return count;
}

// The same kind of control with the same text, font and palette, 40 pixels larger each way: its
// text is drawn at the same place relative to its left edge and vertical centre, never clipped.
std::unique_ptr<QWidget> roomyCopy(QWidget *control)
{
    std::unique_ptr<QWidget> copy;
    if (auto *label = qobject_cast<QLabel *>(control)) {
        copy = std::make_unique<QLabel>(label->text(), control->parentWidget());
    } else if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        copy = std::make_unique<QLineEdit>(edit->text(), control->parentWidget());
    } else if (auto *button = qobject_cast<QPushButton *>(control)) {
        auto roomyButton = std::make_unique<QPushButton>(button->text(), control->parentWidget());
        // The default button is drawn with a frame of its own.
        roomyButton->setAutoDefault(button->autoDefault());
        roomyButton->setDefault(button->isDefault());
        copy = std::move(roomyButton);
    }
    if (copy) {
        copy->hide();
        copy->resize(control->size() + QSize(40, 40));
        copy->ensurePolished();
    }
    return copy;
}

} // namespace

class LayoutScaleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        appFont = QApplication::font();
        appPalette = QApplication::palette();
    }

    void cleanup()
    {
        window.reset();
        qApp->setStyleSheet(QString());
        QApplication::setFont(appFont);
        QApplication::setPalette(appPalette);
    }

    void ordinaryFontsKeepThePixels_data()
    {
        QTest::addColumn<qreal>("points");
        QTest::newRow("8 pt") << 8.0;
        QTest::newRow("9 pt") << 9.0;
        QTest::newRow("10 pt") << 10.0;
    }
    void ordinaryFontsKeepThePixels()
    {
        QFETCH(qreal, points);
        if (QGuiApplication::primaryScreen()->logicalDotsPerInchY() != 96 ||
            !qApp->styleSheet().isEmpty()) {
            QSKIP("the screen's fonts are not at 96 DPI");
        }
        QFont font = appFont;
        font.setPointSizeF(points);
        QApplication::setFont(font);
        openWindow();
        QCOMPARE(window->size(), clientAt96);
        for (const Placement &p : placements) {
            QWidget *control = window->findChild<QWidget *>(p.name);
            QVERIFY(control != nullptr);
            QCOMPARE(control->geometry(), p.at96);
        }
    }

    void textsFit_data()
    {
        QTest::addColumn<qreal>("points"); // 0: the font the environment gives
        QTest::addColumn<bool>("styleSheet");
        QTest::newRow("the environment's font") << 0.0 << false;
        QTest::newRow("10 pt") << 10.0 << false;
        QTest::newRow("12 pt") << 12.0 << false;
        QTest::newRow("14 pt") << 14.0 << false;
        QTest::newRow("20 pt") << 20.0 << false;
        QTest::newRow("14 pt from a style sheet") << 14.0 << true;
    }
    void textsFit()
    {
        QFETCH(qreal, points);
        QFETCH(bool, styleSheet);
        if (styleSheet) {
            qApp->setStyleSheet(u"QWidget { font-size: %1pt; }"_s.arg(points));
        } else if (points > 0) {
            QFont font = appFont;
            font.setPointSizeF(points);
            QApplication::setFont(font);
        }
        QPalette red = appPalette;
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            red.setColor(role, Qt::red);
        }
        QApplication::setPalette(red);
        openWindow();

        // One factor for everything, never below 1.
        const qreal factor = window->width() / qreal(clientAt96.width());
        QVERIFY2(factor >= 1, qPrintable(QString::number(factor)));
        QVERIFY(qAbs(window->height() - clientAt96.height() * factor) <= 1);
        for (const Placement &p : placements) {
            QWidget *control = window->findChild<QWidget *>(p.name);
            QVERIFY(control != nullptr);
            const QRectF expected(p.at96.x() * factor, p.at96.y() * factor, p.at96.width() * factor,
                                  p.at96.height() * factor);
            const QRect got = control->geometry();
            QVERIFY2(qAbs(got.x() - expected.x()) <= 1 && qAbs(got.y() - expected.y()) <= 1 &&
                         qAbs(got.width() - expected.width()) <= 1 &&
                         qAbs(got.height() - expected.height()) <= 1,
                     qPrintable(u"%1 at %2,%3 %4x%5, factor %6"_s.arg(p.name)
                                    .arg(got.x())
                                    .arg(got.y())
                                    .arg(got.width())
                                    .arg(got.height())
                                    .arg(factor)));
        }

        // Every caption and box text whole: as many text pixels as in a roomier copy. Before any
        // reduction, then with the captions and boxes of a reduction and a hit.
        auto *edtcode = window->findChild<QLineEdit *>(u"edtcode"_s);
        auto *memcode = window->findChild<QPlainTextEdit *>(u"memcode"_s);
        QVERIFY(edtcode != nullptr && memcode != nullptr);
        for (int state = 0; state < 2; ++state) {
            if (state == 1) {
                QTest::keyClicks(edtcode, u"37"_s);
                QTest::keyClick(edtcode, Qt::Key_Return);
                QTest::keyClicks(edtcode, u"45"_s);
                QCOMPARE(window->findChild<QLineEdit *>(u"edtdj"_s)->text(), u"中"_s);
            }
            // No text cursor in the boxes checked, it is drawn in the text colour, and no
            // focused button, which would be drawn as the default one.
            memcode->setFocus();
            for (const Placement &p : placements) {
                QWidget *control = window->findChild<QWidget *>(p.name);
                const std::unique_ptr<QWidget> roomy = roomyCopy(control);
                if (!roomy) {
                    continue; // the memo wraps its text and scrolls
                }
                const int whole = textPixels(roomy.get());
                const QString text = roomy->property("text").toString();
                if (text.isEmpty()) {
                    continue;
                }
                QVERIFY2(whole > 0, qPrintable(p.name));
                // A button centres its text, at a fraction of a pixel that differs with the
                // button's size, so its antialiased edge pixels differ by a few per cent; a line
                // of text cut off is far more.
                const int shown = textPixels(control);
                const bool button = qobject_cast<QPushButton *>(control) != nullptr;
                QVERIFY2(button ? qAbs(shown - whole) <= whole / 20 : shown == whole,
                         qPrintable(u"%1 cuts \"%2\": %3 of %4 text pixels shown in %5x%6"_s
                                        .arg(p.name, text)
                                        .arg(shown)
                                        .arg(whole)
                                        .arg(control->width())
                                        .arg(control->height())));
            }
        }
    }

    // However large the window, its title bar is within the screen's reach.
    void opensWithinReach()
    {
        openWindow();
        const QRect area = window->screen()->availableGeometry();
        const QPoint topLeft = window->frameGeometry().topLeft();
        QVERIFY2(area.contains(topLeft),
                 qPrintable(u"window %1x%2 at %3,%4 on %5x%6"_s.arg(window->frameGeometry().width())
                                .arg(window->frameGeometry().height())
                                .arg(topLeft.x())
                                .arg(topLeft.y())
                                .arg(area.width())
                                .arg(area.height())));
    }

private:
    void openWindow()
    {
        window = std::make_unique<Tfrmmain>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    QFont appFont;
    QPalette appPalette;
    std::unique_ptr<Tfrmmain> window;
};

QTEST_MAIN(LayoutScaleTest)
#include "layoutscale_test.moc"
