#include "boxwatch.h"
#include "core/reduction.h"
#include "support/filesizelimit.h"
#include "support/testfiles.h"
#include "ui/qt/u_main.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// Plays the user at the save dialog. Each time a QFileDialog opens as the active modal widget
// it records how the dialog opened, then takes the next step, which types and presses keys as
// a user would. A dialog that opens with no step left, or stays open, is closed by force and
// counts as stuck, so a test never hangs on it.
class DialogDriver {
public:
    struct Opening {
        QString objectName;
        bool modal;
        QFileDialog::AcceptMode acceptMode;
        QFileDialog::FileMode fileMode;
        QFileDialog::Options options;
        QStringList nameFilters;
        QString selectedNameFilter;
        QString defaultSuffix;
        QString directory;
        std::optional<QString> nameBox; // none: the dialog has no name box
    };
    using Step = std::function<void(QFileDialog *, QLineEdit *nameBox)>;

    explicit DialogDriver(QList<Step> steps) : steps(std::move(steps))
    {
        poller.setInterval(10);
        QObject::connect(&poller, &QTimer::timeout, [this] { poll(); });
        poller.start();
    }

    QList<Opening> openings;
    bool stuck = false;

private:
    void poll()
    {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            return;
        }
        if (!known.contains(dialog)) {
            known.append(dialog);
            // The same dialog opens again on the next "保存"; its closing ends one opening.
            QObject::connect(dialog, &QDialog::finished, &poller, [this] { open = false; });
        }
        auto *nameBox = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s);
        if (!open) {
            open = true;
            acted = false;
            polls = 0;
            openings.append({dialog->objectName(), dialog->isModal(), dialog->acceptMode(),
                             dialog->fileMode(), dialog->options(), dialog->nameFilters(),
                             dialog->selectedNameFilter(), dialog->defaultSuffix(),
                             dialog->directory().absolutePath(),
                             nameBox ? std::optional(nameBox->text()) : std::nullopt});
            if (steps.isEmpty() || nameBox == nullptr) {
                stuck = true;
                dialog->reject();
                return;
            }
        }
        // A user types once the dialog has the focus in its name box; before that the dialog
        // treats typed text as coming from elsewhere.
        if (!acted && dialog->isActiveWindow() && nameBox->hasFocus()) {
            acted = true;
            steps.takeFirst()(dialog, nameBox);
            return;
        }
        if (++polls > 300) {
            stuck = true;
            dialog->reject();
        }
    }

    QList<Step> steps;
    QTimer poller;
    QList<QPointer<QFileDialog>> known;
    bool open = false;
    bool acted = false;
    int polls = 0;
};

// Types into the name box, then presses key there. keyClicks knows ASCII only; other
// characters arrive as a key event carrying the character, as an input method delivers them.
DialogDriver::Step typeThenPress(const QString &name, Qt::Key key)
{
    return [name, key](QFileDialog *, QLineEdit *nameBox) {
        for (const QChar c : name) {
            if (c.unicode() < 0x80) {
                QTest::keyClicks(nameBox, QString(c));
            } else {
                QTest::sendKeyEvent(QTest::Click, nameBox, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
            }
        }
        // The name box offers matching names in a list of its own, which would take the key;
        // the user closes it first. A list that fills in later finds the key already pressed.
        if (QWidget *completions = QApplication::activePopupWidget()) {
            QTest::keyClick(completions, Qt::Key_Escape);
        }
        QTest::keyClick(nameBox, key);
    };
}

DialogDriver::Step typeName(const QString &name)
{
    return typeThenPress(name, Qt::Key_Return);
}

DialogDriver::Step typeThenCancel(const QString &name)
{
    return typeThenPress(name, Qt::Key_Escape);
}

} // namespace

// Every test gets a home of its own whose user-dirs.dirs names "桌面" as the Desktop, the way
// a Chinese desktop sets it up.
class CopySaveTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void copyPutsTheMemoOnTheClipboard_data();
    void copyPutsTheMemoOnTheClipboard();
    void dialogIsMadeOnFirstSaveAndSetAnewEachTime();
    void initialFolder_data();
    void initialFolder();
    void savesWhatTheUserNames_data();
    void savesWhatTheUserNames();
    void cancelWritesNothing();
    void failedSaveShowsTheError_data();
    void failedSaveShowsTheError();

private:
    void reduce(const QString &draw)
    {
        QTest::keyClicks(edtcode, draw);
        QTest::keyClick(edtcode, Qt::Key_Return);
    }
    // Types into the memo; '\n' is the Return key.
    void typeIntoMemo(const QString &text)
    {
        memcode->setFocus();
        for (const QChar c : text) {
            if (c == u'\n') {
                QTest::keyClick(memcode, Qt::Key_Return);
            } else {
                QTest::keyClicks(memcode, QString(c));
            }
        }
    }
    QString desktop() const { return root->filePath(u"home/桌面"_s); }

    std::optional<QTemporaryDir> root;
    std::unique_ptr<Tfrmmain> window;
    QPlainTextEdit *memcode = nullptr;
    QLineEdit *edtcode = nullptr;
    QPushButton *btncopy = nullptr;
    QPushButton *btnsave = nullptr;
};

void CopySaveTest::init()
{
    root.emplace();
    QVERIFY(root->isValid());
    QDir dir(root->path());
    QVERIFY(dir.mkpath(u"home/桌面"_s));
    QVERIFY(dir.mkpath(u"config"_s));
    QVERIFY(
        writeFile(dir.filePath(u"config/user-dirs.dirs"_s),
                  u"XDG_DESKTOP_DIR=\"$HOME/桌面\"\nXDG_DOWNLOAD_DIR=\"$HOME/下载\"\n"_s.toUtf8()));
    qputenv("HOME", QFile::encodeName(dir.filePath(u"home"_s)));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(u"config"_s)));

    window = std::make_unique<Tfrmmain>();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    memcode = window->findChild<QPlainTextEdit *>(u"memcode"_s);
    edtcode = window->findChild<QLineEdit *>(u"edtcode"_s);
    btncopy = window->findChild<QPushButton *>(u"btncopy"_s);
    btnsave = window->findChild<QPushButton *>(u"btnsave"_s);
    QVERIFY(memcode && edtcode && btncopy && btnsave);
}

void CopySaveTest::cleanup()
{
    window.reset();
    root.reset();
}

void CopySaveTest::copyPutsTheMemoOnTheClipboard_data()
{
    QTest::addColumn<QString>("draw"); // typed into edtcode before Enter; empty: no reduction
    QTest::addColumn<QString>("memoTyping");
    QTest::addColumn<QString>("expected");

    QTest::newRow("result for 00") << u"00"_s << QString() << resultFor00();
    QTest::newRow("line breaks typed into the memo")
        << QString() << u"00 01\n02 \n\n03"_s << u"00 01\n02 \n\n03"_s;
    QTest::newRow("empty memo") << QString() << QString() << QString();
}

void CopySaveTest::copyPutsTheMemoOnTheClipboard()
{
    QFETCH(QString, draw);
    QFETCH(QString, memoTyping);
    QFETCH(QString, expected);
    QGuiApplication::clipboard()->setText(u"held before"_s);
    if (!draw.isEmpty()) {
        reduce(draw);
    }
    typeIntoMemo(memoTyping);
    BoxWatch watch;

    QTest::mouseClick(btncopy, Qt::LeftButton);

    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    if (!draw.isEmpty()) {
        QCOMPARE(QGuiApplication::clipboard()->text().size(), 225);
    }
    QCOMPARE(memcode->toPlainText(), expected);
    QTest::qWait(50); // a message box, were one shown, would be seen by now
    QCOMPARE(watch.boxes.size(), 0);
}

void CopySaveTest::dialogIsMadeOnFirstSaveAndSetAnewEachTime()
{
    QCOMPARE(window->findChild<QFileDialog *>(), nullptr);
    QDir(root->path()).mkpath(u"elsewhere"_s);
    const QString elsewhere = root->filePath(u"elsewhere/first"_s);
    reduce(u"00"_s);
    BoxWatch watch;
    // The user types a name and cancels, then saves into another folder, then opens it again.
    DialogDriver driver({typeThenCancel(u"draft"_s), typeName(elsewhere), typeThenCancel({})});

    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(btnsave, Qt::LeftButton);
    }

    QVERIFY(!driver.stuck);
    QCOMPARE(driver.openings.size(), 3);
    QCOMPARE(window->findChildren<QFileDialog *>().size(), 1);
    for (const DialogDriver::Opening &opening : driver.openings) {
        QCOMPARE(opening.objectName, u"savedlg"_s);
        QVERIFY(opening.modal);
        QCOMPARE(opening.acceptMode, QFileDialog::AcceptSave);
        QCOMPARE(opening.fileMode, QFileDialog::AnyFile);
        QCOMPARE(opening.nameFilters, QStringList{u"文本文件(*.txt)"_s});
        QCOMPARE(opening.selectedNameFilter, u"文本文件(*.txt)"_s);
        QCOMPARE(opening.defaultSuffix, u"txt"_s);
        QVERIFY(opening.options.testFlag(QFileDialog::DontConfirmOverwrite));
        QVERIFY(opening.options.testFlag(QFileDialog::DontUseNativeDialog));
        QCOMPARE(opening.directory, desktop());
        QVERIFY(opening.nameBox.has_value());
        QCOMPARE(*opening.nameBox, QString());
    }
    QCOMPARE(fileBytes(elsewhere + u".txt"_s), std::optional(resultFor00().toLatin1()));
    QCOMPARE(entries(desktop()), QStringList());
    QCOMPARE(watch.boxes.size(), 1);
    QCOMPARE(watch.boxes.first().text, u"成功保存！"_s);
}

void CopySaveTest::initialFolder_data()
{
    QTest::addColumn<QString>("userDirs"); // replaces the test's user-dirs.dirs
    QTest::addColumn<QString>("makeFolder");
    QTest::addColumn<bool>("removeDesktop");
    QTest::addColumn<QString>("expected"); // under the home folder; empty: the working folder

    QTest::newRow("Desktop named in user-dirs.dirs")
        << QString() << QString() << false << u"桌面"_s;
    QTest::newRow("Desktop folder missing") << QString() << QString() << true << QString();
    QTest::newRow("not named, ~/Desktop")
        << u"XDG_DOWNLOAD_DIR=\"$HOME/下载\"\n"_s << u"home/Desktop"_s << false << u"Desktop"_s;
    QTest::newRow("not named, no ~/Desktop")
        << u"XDG_DOWNLOAD_DIR=\"$HOME/下载\"\n"_s << QString() << false << QString();
}

void CopySaveTest::initialFolder()
{
    QFETCH(QString, userDirs);
    QFETCH(QString, makeFolder);
    QFETCH(bool, removeDesktop);
    QFETCH(QString, expected);
    QDir dir(root->path());
    if (!userDirs.isNull()) {
        QVERIFY(writeFile(dir.filePath(u"config/user-dirs.dirs"_s), userDirs.toUtf8()));
    }
    if (!makeFolder.isEmpty()) {
        QVERIFY(dir.mkpath(makeFolder));
    }
    if (removeDesktop) {
        QVERIFY(dir.rmdir(u"home/桌面"_s));
    }
    DialogDriver driver({typeThenCancel({})});

    QTest::mouseClick(btnsave, Qt::LeftButton);

    QVERIFY(!driver.stuck);
    QCOMPARE(driver.openings.size(), 1);
    QCOMPARE(driver.openings.first().directory,
             expected.isEmpty() ? QDir::currentPath() : dir.filePath(u"home/"_s + expected));
}

void CopySaveTest::savesWhatTheUserNames_data()
{
    QTest::addColumn<QString>("draw"); // typed into edtcode before Enter; empty: no reduction
    QTest::addColumn<QString>("memoTyping");
    QTest::addColumn<QByteArray>("earlier"); // already on the Desktop as the saved name
    QTest::addColumn<QString>("typedName");
    QTest::addColumn<QString>("savedName");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("result for 00, no extension typed")
        << u"00"_s << QString() << QByteArray() << u"result"_s << u"result.txt"_s
        << resultFor00().toLatin1();
    QTest::newRow("extension typed") << u"00"_s << QString() << QByteArray() << u"list.txt"_s
                                     << u"list.txt"_s << resultFor00().toLatin1();
    QTest::newRow("over an existing file, no question")
        << u"37"_s << QString() << QByteArray(500, 'x') << u"result"_s << u"result.txt"_s
        << QString::fromStdU16String(corvanel::reduce({3, 7}).resultText).toLatin1();
    QTest::newRow("empty memo") << QString() << QString() << QByteArray() << u"empty"_s
                                << u"empty.txt"_s << QByteArray();
    QTest::newRow("memo edited with line breaks")
        << QString() << u"00 01\n02 "_s << QByteArray() << u"edited"_s << u"edited.txt"_s
        << QByteArray("00 01\n02 ");
}

void CopySaveTest::savesWhatTheUserNames()
{
    QFETCH(QString, draw);
    QFETCH(QString, memoTyping);
    QFETCH(QByteArray, earlier);
    QFETCH(QString, typedName);
    QFETCH(QString, savedName);
    QFETCH(QByteArray, expected);
    const QString saved = QDir(desktop()).filePath(savedName);
    if (!earlier.isNull()) {
        QVERIFY(writeFile(saved, earlier));
    }
    if (!draw.isEmpty()) {
        reduce(draw);
    }
    typeIntoMemo(memoTyping);
    const QString memoBefore = memcode->toPlainText();
    BoxWatch watch;
    DialogDriver driver({typeName(typedName)});

    QTest::mouseClick(btnsave, Qt::LeftButton);

    QVERIFY(!driver.stuck);
    QCOMPARE(fileBytes(saved), std::optional(expected));
    QCOMPARE(entries(desktop()), QStringList{savedName});
    // One box, the confirmation; an overwrite question would show here too.
    QCOMPARE(watch.boxes.size(), 1);
    QCOMPARE(watch.boxes.first().title, u"Corvanel"_s);
    QCOMPARE(watch.boxes.first().text, u"成功保存！"_s);
    QCOMPARE(watch.boxes.first().icon, QMessageBox::NoIcon);
    QCOMPARE(watch.boxes.first().buttons, QStringList{u"确定"_s});
    QCOMPARE(memcode->toPlainText(), memoBefore);
}

void CopySaveTest::cancelWritesNothing()
{
    reduce(u"00"_s);
    BoxWatch watch;
    DialogDriver driver({typeThenCancel(u"result"_s)});

    QTest::mouseClick(btnsave, Qt::LeftButton);

    QVERIFY(!driver.stuck);
    QCOMPARE(driver.openings.size(), 1);
    QCOMPARE(entries(desktop()), QStringList());
    QTest::qWait(50); // a message box, were one shown, would be seen by now
    QCOMPARE(watch.boxes.size(), 0);
}

void CopySaveTest::failedSaveShowsTheError_data()
{
    QTest::addColumn<QString>("typedName"); // @ROOT@ stands for the test's folder
    QTest::addColumn<QByteArray>("earlier");
    QTest::addColumn<QString>("errorText");
    QTest::addColumn<bool>("sizeLimit"); // files may not grow past 100 bytes during the save

    QTest::newRow("missing folder") << u"@ROOT@/no-such-folder/result"_s << QByteArray()
                                    << u"不能创建文件 @ROOT@/no-such-folder/result.txt."_s << false;
    QTest::newRow("write fails, earlier file kept")
        << u"@ROOT@/home/桌面/result"_s << QByteArray("earlier\n")
        << u"不能写入文件 @ROOT@/home/桌面/result.txt，文件没有保存."_s << true;
}

void CopySaveTest::failedSaveShowsTheError()
{
    QFETCH(QString, typedName);
    QFETCH(QByteArray, earlier);
    QFETCH(QString, errorText);
    QFETCH(bool, sizeLimit);
    typedName.replace(u"@ROOT@"_s, root->path());
    errorText.replace(u"@ROOT@"_s, root->path());
    const QString target = typedName + u".txt"_s;
    if (!earlier.isNull()) {
        QVERIFY(writeFile(target, earlier));
    }
    const QStringList before = entries(root->path());
    reduce(u"00"_s);
    BoxWatch watch;
    DialogDriver driver({typeName(typedName)});

    std::optional<FileSizeLimit> limit;
    if (sizeLimit) {
        limit.emplace(100);
        QVERIFY(limit->active());
    }
    QTest::mouseClick(btnsave, Qt::LeftButton);
    limit.reset();

    QVERIFY(!driver.stuck);
    QCOMPARE(watch.boxes.size(), 1);
    QCOMPARE(watch.boxes.first().title, u"Corvanel"_s);
    QCOMPARE(watch.boxes.first().text, errorText);
    QCOMPARE(watch.boxes.first().icon, QMessageBox::Critical);
    QCOMPARE(watch.boxes.first().buttons, QStringList{u"确定"_s});
    QCOMPARE(entries(root->path()), before);
    QCOMPARE(fileBytes(target), earlier.isNull() ? std::nullopt : std::optional(earlier));
    QCOMPARE(memcode->toPlainText(), resultFor00());
}

QTEST_MAIN(CopySaveTest)
#include "copysave_test.moc"
