#include "core/reduction.h"
#include "output/qt/savefile.h"
#include "support/filesizelimit.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using corvanel::output::localeEncoding;
using corvanel::output::saveText;

namespace {

const char *const localeVariables[] = {"LC_ALL", "LC_CTYPE", "LANG", "LOCPATH"};

} // namespace

class SaveFileTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void writesTheTextByteForByte_data();
    void writesTheTextByteForByte();
    void resultFor00IsOneLineOf225Bytes();
    void replacesAnExistingFile();
    void unrepresentableCharacterWritesNothing_data();
    void unrepresentableCharacterWritesNothing();
    void fileThatCannotBeCreated_data();
    void fileThatCannotBeCreated();
    void failedWriteKeepsTheEarlierFile_data();
    void failedWriteKeepsTheEarlierFile();
    void encodingComesFromTheLocale_data();
    void encodingComesFromTheLocale();
    void savesInTheLocaleEncodingByDefault();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QStringList folderEntries() const
    {
        return QDir(m_dir->path())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    std::optional<QTemporaryDir> m_dir;
    QTemporaryDir m_locales;
    QHash<QByteArray, std::optional<QByteArray>> m_environment;
};

void SaveFileTest::initTestCase()
{
    for (const char *name : localeVariables) {
        m_environment.insert(name, qEnvironmentVariableIsSet(name)
                                       ? std::optional<QByteArray>(qgetenv(name))
                                       : std::nullopt);
    }
    // A GBK locale of our own, as a Chinese desktop might run with; the system need not have
    // it generated.
    QVERIFY(m_locales.isValid());
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"),
                    {QStringLiteral("-i"), QStringLiteral("zh_CN"), QStringLiteral("-f"),
                     QStringLiteral("GBK"), m_locales.filePath(QStringLiteral("zh_CN.GBK"))});
    QVERIFY2(localedef.waitForFinished(120000), "localedef did not finish");
    QVERIFY2(localedef.exitStatus() == QProcess::NormalExit && localedef.exitCode() == 0,
             localedef.readAllStandardError().constData());
}

void SaveFileTest::init()
{
    m_dir.emplace();
    QVERIFY(m_dir->isValid());
}

void SaveFileTest::cleanup()
{
    m_dir.reset();
    for (auto it = m_environment.cbegin(); it != m_environment.cend(); ++it) {
        if (it.value()) {
            qputenv(it.key().constData(), *it.value());
        } else {
            qunsetenv(it.key().constData());
        }
    }
}

void SaveFileTest::writesTheTextByteForByte_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("result for 00, UTF-8")
        << resultFor00() << QByteArray("UTF-8") << resultFor00().toLatin1();
    QTest::newRow("result for 00, GB18030")
        << resultFor00() << QByteArray("GB18030") << resultFor00().toLatin1();
    QTest::newRow("empty text") << QString() << QByteArray("UTF-8") << QByteArray();
    QTest::newRow("Chinese, UTF-8")
        << QStringLiteral("缩水结果：75注") << QByteArray("UTF-8")
        << QByteArray::fromHex("e7bca9e6b0b4e7bb93e69e9cefbc9a3735e6b3a8");
    QTest::newRow("Chinese, GB18030") << QStringLiteral("缩水结果：75注") << QByteArray("GB18030")
                                      << QByteArray::fromHex("cbf5cbaebde1b9fba3ba3735d7a2");
    QTest::newRow("Chinese, GBK") << QStringLiteral("缩水结果：75注") << QByteArray("GBK")
                                  << QByteArray::fromHex("cbf5cbaebde1b9fba3ba3735d7a2");
    QTest::newRow("beyond GBK, GB18030")
        << QStringLiteral("€😀") << QByteArray("GB18030") << QByteArray::fromHex("a2e39439fc36");
    QTest::newRow("line breaks as typed") << QStringLiteral("00 01 \n02 \n\n")
                                          << QByteArray("UTF-8") << QByteArray("00 01 \n02 \n\n");
}

void SaveFileTest::writesTheTextByteForByte()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, encoding);
    QFETCH(QByteArray, expected);

    const auto result = saveText(path(QStringLiteral("result.txt")), text, encoding);

    QVERIFY2(result.ok, qPrintable(result.errorText));
    QCOMPARE(fileBytes(path(QStringLiteral("result.txt"))), std::optional(expected));
    QCOMPARE(folderEntries(), QStringList{QStringLiteral("result.txt")});
}

void SaveFileTest::resultFor00IsOneLineOf225Bytes()
{
    QVERIFY(saveText(path(QStringLiteral("00.txt")), resultFor00()).ok);

    const QByteArray bytes = fileBytes(path(QStringLiteral("00.txt"))).value_or("unreadable");
    QCOMPARE(bytes.size(), 225);
    QVERIFY2(bytes.startsWith("00 01 02 "), bytes.constData());
    QVERIFY2(bytes.endsWith("93 94 "), bytes.constData());
    QVERIFY(!bytes.contains('\n') && !bytes.contains('\r'));
}

void SaveFileTest::replacesAnExistingFile()
{
    const QString target = path(QStringLiteral("result.txt"));
    QVERIFY(writeFile(target, QByteArray(1000, 'x')));

    QVERIFY(saveText(target, QStringLiteral("37 "), "UTF-8").ok);

    QCOMPARE(fileBytes(target), std::optional(QByteArray("37 ")));
    QCOMPARE(folderEntries(), QStringList{QStringLiteral("result.txt")});
}

void SaveFileTest::unrepresentableCharacterWritesNothing_data()
{
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("errorText");

    QTest::newRow("emoji, GBK") << QByteArray("GBK") << QStringLiteral("00 01 😀 02 ")
                                << QStringLiteral("字符“😀”（U+1F600）不能用系统的字符编码 GBK "
                                                  "表示，文件没有保存");
    QTest::newRow("euro sign, GB2312") << QByteArray("GB2312") << QStringLiteral("中€")
                                       << QStringLiteral("字符“€”（U+20AC）不能用系统的字符编码 "
                                                         "GB2312 表示，文件没有保存");
    QTest::newRow("Chinese, ISO-8859-1") << QByteArray("ISO-8859-1") << QStringLiteral("ä中")
                                         << QStringLiteral("字符“中”（U+4E2D）不能用系统的字符"
                                                           "编码 ISO-8859-1 表示，文件没有保存");
    QTest::newRow("lone surrogate, UTF-8")
        << QByteArray("UTF-8") << (QStringLiteral("00 ") + QChar(0xd83d) + QStringLiteral("01"))
        << QStringLiteral("字符 U+D83D 不能用系统的字符编码 UTF-8 表示，文件没有保存");
    QTest::newRow("lone surrogate at the end, UTF-8")
        << QByteArray("UTF-8") << (QStringLiteral("00 ") + QChar(0xd83d))
        << QStringLiteral("字符 U+D83D 不能用系统的字符编码 UTF-8 表示，文件没有保存");
    QTest::newRow("unknown encoding") << QByteArray("NO-SUCH-CODESET") << QStringLiteral("00 ")
                                      << QStringLiteral("不能识别系统的字符编码 NO-SUCH-CODESET，"
                                                        "文件没有保存");
}

void SaveFileTest::unrepresentableCharacterWritesNothing()
{
    QFETCH(QByteArray, encoding);
    QFETCH(QString, text);
    QFETCH(QString, errorText);
    const QString earlier = path(QStringLiteral("earlier.txt"));
    QVERIFY(writeFile(earlier, "earlier content\n"));

    const auto intoEarlier = saveText(earlier, text, encoding);
    const auto intoNew = saveText(path(QStringLiteral("new.txt")), text, encoding);

    QVERIFY(!intoEarlier.ok);
    QCOMPARE(intoEarlier.errorText, errorText);
    QVERIFY(!intoNew.ok);
    QCOMPARE(fileBytes(earlier), std::optional(QByteArray("earlier content\n")));
    QCOMPARE(folderEntries(), QStringList{QStringLiteral("earlier.txt")});
}

void SaveFileTest::fileThatCannotBeCreated_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("missing parent folder") << QStringLiteral("no such folder/result.txt");
    QTest::newRow("path is a folder") << QStringLiteral("folder");
}

void SaveFileTest::fileThatCannotBeCreated()
{
    QFETCH(QString, name);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));
    QVERIFY(writeFile(path(QStringLiteral("folder/inside.txt")), "kept"));

    const auto result = saveText(path(name), resultFor00(), "UTF-8");

    QVERIFY(!result.ok);
    QCOMPARE(result.errorText, QStringLiteral("不能创建文件 ") + path(name));
    QCOMPARE(folderEntries(), QStringList{QStringLiteral("folder")});
    QCOMPARE(QDir(path(QStringLiteral("folder"))).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("inside.txt")});
    QCOMPARE(fileBytes(path(QStringLiteral("folder/inside.txt"))),
             std::optional(QByteArray("kept")));
}

void SaveFileTest::failedWriteKeepsTheEarlierFile_data()
{
    QTest::addColumn<bool>("earlierFile");

    QTest::newRow("over an earlier file") << true;
    QTest::newRow("new file") << false;
}

void SaveFileTest::failedWriteKeepsTheEarlierFile()
{
    QFETCH(bool, earlierFile);
    const QString target = path(QStringLiteral("result.txt"));
    if (earlierFile) {
        QVERIFY(writeFile(target, "earlier content\n"));
    }

    std::optional<corvanel::output::SaveResult> result;
    {
        // Room for 100 of the result's 225 bytes.
        const FileSizeLimit limit(100);
        QVERIFY(limit.active());
        result = saveText(target, resultFor00(), "UTF-8");
    }

    QVERIFY(!result->ok);
    QCOMPARE(result->errorText, QStringLiteral("不能写入文件 %1，文件没有保存").arg(target));
    if (earlierFile) {
        QCOMPARE(fileBytes(target), std::optional(QByteArray("earlier content\n")));
        QCOMPARE(folderEntries(), QStringList{QStringLiteral("result.txt")});
    } else {
        QCOMPARE(folderEntries(), QStringList());
    }
}

void SaveFileTest::encodingComesFromTheLocale_data()
{
    // Unset variables are null; LOCPATH "ours" points at the GBK locale made for the test.
    QTest::addColumn<QByteArray>("lcAll");
    QTest::addColumn<QByteArray>("lcCtype");
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("LANG=C.UTF-8") << QByteArray() << QByteArray() << QByteArray("C.UTF-8")
                                  << QByteArray("UTF-8");
    QTest::newRow("LANG=zh_CN.GBK")
        << QByteArray() << QByteArray() << QByteArray("zh_CN.GBK") << QByteArray("GBK");
    QTest::newRow("LC_CTYPE over LANG")
        << QByteArray() << QByteArray("zh_CN.GBK") << QByteArray("C.UTF-8") << QByteArray("GBK");
    QTest::newRow("LC_ALL over the others") << QByteArray("C.UTF-8") << QByteArray("zh_CN.GBK")
                                            << QByteArray("zh_CN.GBK") << QByteArray("UTF-8");
    QTest::newRow("C locale") << QByteArray("C") << QByteArray() << QByteArray()
                              << QByteArray("UTF-8");
    QTest::newRow("nothing set") << QByteArray() << QByteArray() << QByteArray()
                                 << QByteArray("UTF-8");
    QTest::newRow("locale not installed")
        << QByteArray() << QByteArray() << QByteArray("xx_XX.GB2312") << QByteArray("UTF-8");
}

void SaveFileTest::encodingComesFromTheLocale()
{
    QFETCH(QByteArray, lcAll);
    QFETCH(QByteArray, lcCtype);
    QFETCH(QByteArray, lang);
    QFETCH(QByteArray, expected);
    const auto set = [](const char *name, const QByteArray &value) {
        if (value.isNull()) {
            qunsetenv(name);
        } else {
            qputenv(name, value);
        }
    };
    set("LC_ALL", lcAll);
    set("LC_CTYPE", lcCtype);
    set("LANG", lang);
    qputenv("LOCPATH", QFile::encodeName(m_locales.path()));

    QCOMPARE(localeEncoding(), expected);
}

void SaveFileTest::savesInTheLocaleEncodingByDefault()
{
    qputenv("LOCPATH", QFile::encodeName(m_locales.path()));
    qputenv("LC_ALL", "zh_CN.GBK");

    QVERIFY(saveText(path(QStringLiteral("gbk.txt")), QStringLiteral("中奖")).ok);
    const auto refused = saveText(path(QStringLiteral("emoji.txt")), QStringLiteral("😀"));

    QCOMPARE(fileBytes(path(QStringLiteral("gbk.txt"))),
             std::optional(QByteArray::fromHex("d6d0bdb1")));
    QCOMPARE(refused.errorText,
             QStringLiteral("字符“😀”（U+1F600）不能用系统的字符编码 GBK 表示，文件没有保存"));
}

QTEST_GUILESS_MAIN(SaveFileTest)
#include "savefile_test.moc"
