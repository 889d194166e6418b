#include "ui/qt/application.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QtTest>

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
