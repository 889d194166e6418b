#include "ui/qt/application.h"
#include "ui/qt/u_main.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The icon as the window manager gets it, at the size of a task bar's.
QImage drawn(const QIcon &icon)
{
    return icon.pixmap(48, 48).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The SVG that the package installs into the icon theme.
QImage installedSvg()
{
    return drawn(QIcon(QStringLiteral(CORVANEL_PACKAGING_DIR "/org.corvanel.Corvanel.svg")));
}

} // namespace

using namespace Qt::StringLiterals;

class ApplicationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { corvanel::ui::setUpApplication(); }

    void namesTheProgramForTheDesktop()
    {
        QCOMPARE(QCoreApplication::applicationName(), u"Corvanel"_s);
        QCOMPARE(QGuiApplication::applicationDisplayName(), u"Corvanel"_s);
        QCOMPARE(QGuiApplication::desktopFileName(), u"org.corvanel.Corvanel"_s);
    }

    void windowsCarryTheProgramsIcon()
    {
        const QImage svg = installedSvg();
        QVERIFY2(!svg.isNull() && svg.pixelColor(24, 24).alpha() > 0,
                 "the SVG is not drawn: is Qt's SVG icon engine (libqt6svg6) installed?");
        Tfrmmain window;
        QCOMPARE(drawn(window.windowIcon()), svg);
        QCOMPARE(drawn(QApplication::windowIcon()), svg);
    }

    // Where the icon theme has the program's id, the theme's picture is taken; otherwise the one
    // built into the program, which is the installed SVG.
    void iconFromThemeOrBuiltIn_data()
    {
        QTest::addColumn<bool>("themeHasIcon");
        QTest::newRow("theme has it") << true;
        QTest::newRow("theme lacks it") << false;
    }
    void iconFromThemeOrBuiltIn()
    {
        QFETCH(bool, themeHasIcon);
        QTemporaryDir themes;
        QVERIFY(themes.isValid());
        const QDir theme(themes.filePath(QStringLiteral("test-theme")));
        QVERIFY(theme.mkpath(QStringLiteral("48x48/apps")));
        QFile index(theme.filePath(QStringLiteral("index.theme")));
        QVERIFY(index.open(QIODevice::WriteOnly));
        index.write("[Icon Theme]\nName=test-theme\nDirectories=48x48/apps\n\n"
                    "[48x48/apps]\nSize=48\nType=Fixed\n");
        index.close();
        QImage green(48, 48, QImage::Format_ARGB32);
        green.fill(Qt::green);
        if (themeHasIcon) {
            QVERIFY(
                green.save(theme.filePath(QStringLiteral("48x48/apps/org.corvanel.Corvanel.png"))));
        }
        const QStringList paths = QIcon::themeSearchPaths();
        const QString name = QIcon::themeName();
        QIcon::setThemeSearchPaths({themes.path()});
        QIcon::setThemeName(QStringLiteral("test-theme"));
        const QImage shown = drawn(corvanel::ui::programIcon());
        QIcon::setThemeSearchPaths(paths);
        QIcon::setThemeName(name);

        QCOMPARE(shown, themeHasIcon ? green : installedSvg());
    }

    // The save dialog is Qt's; its buttons speak the program's language.
    void qtDialogsSpeakChinese()
    {
        QFileDialog dialog;
        dialog.setOptions(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *buttons = dialog.findChild<QDialogButtonBox *>();
        QVERIFY(buttons != nullptr);
        QPushButton *save = buttons->button(QDialogButtonBox::Save);
        QPushButton *cancel = buttons->button(QDialogButtonBox::Cancel);
        QVERIFY(save != nullptr && cancel != nullptr);
        QVERIFY2(save->text().contains(u"保存"_s), qPrintable(save->text()));
        QVERIFY2(cancel->text().contains(u"取消"_s), qPrintable(cancel->text()));
    }
};

QTEST_MAIN(ApplicationTest)
#include "application_test.moc"
