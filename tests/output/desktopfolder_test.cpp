#include "output/qt/desktopfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using corvanel::output::desktopFolder;

// Each row gets a home folder and a configuration folder of its own in a temporary folder
// (@ROOT@ in the rows), with HOME and XDG_CONFIG_HOME pointing there.
class DesktopFolderTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void findsTheDesktopFolder_data();
    void findsTheDesktopFolder();

private:
    std::optional<QByteArray> m_home;
    std::optional<QByteArray> m_configHome;
};

void DesktopFolderTest::initTestCase()
{
    if (qEnvironmentVariableIsSet("HOME")) {
        m_home = qgetenv("HOME");
    }
    if (qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
        m_configHome = qgetenv("XDG_CONFIG_HOME");
    }
}

void DesktopFolderTest::cleanup()
{
    for (auto [name, value] : {std::pair{"HOME", m_home}, {"XDG_CONFIG_HOME", m_configHome}}) {
        if (value) {
            qputenv(name, *value);
        } else {
            qunsetenv(name);
        }
    }
}

void DesktopFolderTest::findsTheDesktopFolder_data()
{
    QTest::addColumn<QString>("userDirs");    // user-dirs.dirs; null: there is no such file
    QTest::addColumn<QStringList>("folders"); // made under @ROOT@
    QTest::addColumn<QStringList>("files");   // made under @ROOT@
    QTest::addColumn<QString>("expected");

    const QString userDirs = QStringLiteral("# written by xdg-user-dirs-update\n"
                                            "XDG_DOWNLOAD_DIR=\"$HOME/下载\"\n"
                                            "XDG_DESKTOP_DIR=\"%1\"\n"
                                            "XDG_DOCUMENTS_DIR=\"$HOME/文档\"\n");

    QTest::newRow("under HOME") << userDirs.arg(QStringLiteral("$HOME/桌面"))
                                << QStringList{QStringLiteral("home/桌面"),
                                               QStringLiteral("home/Desktop")}
                                << QStringList() << QStringLiteral("@ROOT@/home/桌面");
    QTest::newRow("absolute path") << userDirs.arg(QStringLiteral("@ROOT@/elsewhere/desk"))
                                   << QStringList{QStringLiteral("elsewhere/desk")} << QStringList()
                                   << QStringLiteral("@ROOT@/elsewhere/desk");
    QTest::newRow("folder missing") << userDirs.arg(QStringLiteral("$HOME/桌面")) << QStringList()
                                    << QStringList() << QString();
    QTest::newRow("folder missing, ~/Desktop exists")
        << userDirs.arg(QStringLiteral("$HOME/桌面")) << QStringList{QStringLiteral("home/Desktop")}
        << QStringList() << QString();
    QTest::newRow("a file, not a folder")
        << userDirs.arg(QStringLiteral("$HOME/桌面")) << QStringList()
        << QStringList{QStringLiteral("home/桌面")} << QString();
    QTest::newRow("not set, ~/Desktop exists")
        << QStringLiteral("XDG_DOWNLOAD_DIR=\"$HOME/下载\"\n")
        << QStringList{QStringLiteral("home/Desktop")} << QStringList()
        << QStringLiteral("@ROOT@/home/Desktop");
    QTest::newRow("not set, no ~/Desktop") << QStringLiteral("XDG_DOWNLOAD_DIR=\"$HOME/下载\"\n")
                                           << QStringList() << QStringList() << QString();
    QTest::newRow("no user-dirs.dirs, ~/Desktop exists")
        << QString() << QStringList{QStringLiteral("home/Desktop")} << QStringList()
        << QStringLiteral("@ROOT@/home/Desktop");
    QTest::newRow("no user-dirs.dirs, no ~/Desktop")
        << QString() << QStringList() << QStringList() << QString();
}

void DesktopFolderTest::findsTheDesktopFolder()
{
    QFETCH(QString, userDirs);
    QFETCH(QStringList, folders);
    QFETCH(QStringList, files);
    QFETCH(QString, expected);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const auto place = [&](QString text) {
        return text.replace(QStringLiteral("@ROOT@"), root.path());
    };
    QDir rootDir(root.path());
    QVERIFY(rootDir.mkpath(QStringLiteral("home")));
    QVERIFY(rootDir.mkpath(QStringLiteral("config")));
    for (const QString &folder : folders) {
        QVERIFY(rootDir.mkpath(folder));
    }
    for (const QString &name : files) {
        QFile file(rootDir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    if (!userDirs.isNull()) {
        QFile file(rootDir.filePath(QStringLiteral("config/user-dirs.dirs")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(place(userDirs).toUtf8()) > 0);
    }
    qputenv("HOME", QFile::encodeName(rootDir.filePath(QStringLiteral("home"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(rootDir.filePath(QStringLiteral("config"))));

    QCOMPARE(desktopFolder(), place(expected));
}

QTEST_GUILESS_MAIN(DesktopFolderTest)
#include "desktopfolder_test.moc"
