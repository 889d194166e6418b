#include "boxwatch.h"
#include "ui/qt/messages.h"

#include <QWidget>
#include <QtTest>

#include <stdexcept>

using namespace Qt::StringLiterals;
using corvanel::ui::guard;
using corvanel::ui::reportError;
using corvanel::ui::showMessage;

class MessagesTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        parent = std::make_unique<QWidget>();
        parent->show();
        QVERIFY(QTest::qWaitForWindowExposed(parent.get()));
    }
    void cleanup() { parent.reset(); }

    void messageShowsTextAndOneButton_data()
    {
        QTest::addColumn<BoxWatch::Dismiss>("how");
        QTest::newRow("click 确定") << BoxWatch::Dismiss::ClickButton;
        QTest::newRow("Return") << BoxWatch::Dismiss::PressReturn;
        QTest::newRow("Escape") << BoxWatch::Dismiss::PressEscape;
    }
    void messageShowsTextAndOneButton()
    {
        QFETCH(BoxWatch::Dismiss, how);
        BoxWatch watch(how);
        showMessage(parent.get(), QStringLiteral("成功保存！"));
        QCOMPARE(watch.boxes.size(), 1);
        QVERIFY(!watch.stuck);
        const BoxWatch::Seen &box = watch.boxes.first();
        QCOMPARE(box.title, QStringLiteral("Corvanel"));
        // No full stop is added to a message, only to an error's text.
        QCOMPARE(box.text, QStringLiteral("成功保存！"));
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.buttons, QStringList{QStringLiteral("确定")});
    }

    void errorGetsFullStopAfterLaterCharacter_data()
    {
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("shown");
        QTest::newRow("ends in !") << u"磁盘已满!"_s << u"磁盘已满!"_s;
        QTest::newRow("ends in .") << u"Disk full."_s << u"Disk full."_s;
        QTest::newRow("ends in ) below .") << u"(5)"_s << u"(5)"_s;
        QTest::newRow("ends in - just below .") << u"a-"_s << u"a-"_s;
        QTest::newRow("ends in / just above .") << u"/tmp/"_s << u"/tmp/."_s;
        QTest::newRow("ends in a digit") << u"错误 5"_s << u"错误 5."_s;
        QTest::newRow("ends in a letter") << u"Access denied"_s << u"Access denied."_s;
        QTest::newRow("ends in a Chinese character")
            << u"不能创建文件 /root/无/结果.txt"_s << u"不能创建文件 /root/无/结果.txt."_s;
        QTest::newRow("ends in a Chinese full stop") << u"无效。"_s << u"无效。."_s;
        QTest::newRow("empty") << QString() << QString();
    }
    void errorGetsFullStopAfterLaterCharacter()
    {
        QFETCH(QString, error);
        QFETCH(QString, shown);
        BoxWatch watch;
        reportError(parent.get(), error);
        QCOMPARE(watch.boxes.size(), 1);
        const BoxWatch::Seen &box = watch.boxes.first();
        QCOMPARE(box.title, QStringLiteral("Corvanel"));
        QCOMPARE(box.text, shown);
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttons, QStringList{QStringLiteral("确定")});
    }

    void guardReportsEscapingErrorAndStopsBody()
    {
        BoxWatch watch;
        bool ranPastThrow = false;
        guard(parent.get(), [&] {
            throw std::runtime_error("不能创建文件 /x/y");
            ranPastThrow = true;
        });
        QVERIFY(!ranPastThrow);
        QCOMPARE(watch.boxes.size(), 1);
        QCOMPARE(watch.boxes.first().text, u"不能创建文件 /x/y."_s);
        QCOMPARE(watch.boxes.first().icon, QMessageBox::Critical);
    }

    void guardRunsBodyQuietly()
    {
        BoxWatch watch;
        int runs = 0;
        guard(parent.get(), [&] { ++runs; });
        QCOMPARE(runs, 1);
        QVERIFY(watch.boxes.isEmpty());
    }

private:
    std::unique_ptr<QWidget> parent;
};

QTEST_MAIN(MessagesTest)
#include "messages_test.moc"
