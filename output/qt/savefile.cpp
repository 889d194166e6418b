#include "output/qt/savefile.h"

#include "output/qt/utf16text.h"
#include "output/savetexts.h"

#include <QDir>
#include <QSaveFile>
#include <QSysInfo>

#include <cerrno>
#include <clocale>
#include <iconv.h>
#include <langinfo.h>
#include <optional>

namespace corvanel::output {
namespace {

// QString's code units in memory order, as iconv names them.
constexpr const char *utf16Name =
    QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";

class Converter {
public:
    explicit Converter(const QByteArray &encoding)
        : m_cd(iconv_open(encoding.constData(), utf16Name))
    {}
    ~Converter()
    {
        if (valid()) {
            iconv_close(m_cd);
        }
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return m_cd != iconv_t(-1); }

    // One call of iconv that grows out as needed; in == nullptr writes the closing shift
    // sequence of a stateful encoding. Returns 0, or the errno that stopped the conversion
    // with *in left at the character that could not be converted.
    int run(char **in, std::size_t *inLeft, QByteArray &out, qsizetype &used)
    {
        for (;;) {
            char *next = out.data() + used;
            std::size_t outLeft = std::size_t(out.size() - used);
            const std::size_t done = iconv(m_cd, in, inLeft, &next, &outLeft);
            used = out.size() - qsizetype(outLeft);
            if (done != std::size_t(-1)) {
                return 0;
            }
            if (errno != E2BIG) {
                return errno;
            }
            out.resize(out.size() * 2);
        }
    }

private:
    iconv_t m_cd;
};

struct Encoded {
    std::optional<QByteArray> bytes;
    QString errorText; // when there are no bytes
};

Encoded encode(const QString &text, const QByteArray &encoding)
{
    Converter converter(encoding);
    if (!converter.valid()) {
        return {std::nullopt, qstr(unknownEncodingText(u16(QString::fromLatin1(encoding))))};
    }
    // iconv does not change its input; its signature predates const.
    char *const start = const_cast<char *>(reinterpret_cast<const char *>(text.utf16()));
    char *in = start;
    std::size_t inLeft = std::size_t(text.size()) * sizeof(char16_t);
    QByteArray bytes(qMax<qsizetype>(16, text.size() * 2), Qt::Uninitialized);
    qsizetype used = 0;
    // EILSEQ: a character the encoding lacks, or a lone surrogate; EINVAL: a high surrogate
    // at the very end.
    if (converter.run(&in, &inLeft, bytes, used) != 0) {
        const qsizetype index = (in - start) / qsizetype(sizeof(char16_t));
        return {std::nullopt,
                qstr(unrepresentableCharacterText(u16(text), std::size_t(index),
                                                  u16(QString::fromLatin1(encoding))))};
    }
    if (converter.run(nullptr, nullptr, bytes, used) != 0) {
        return {std::nullopt, qstr(cannotConvertText(u16(QString::fromLatin1(encoding))))};
    }
    bytes.truncate(used);
    return {std::move(bytes), {}};
}

} // namespace

QByteArray localeEncoding()
{
    // A locale object of its own, so the process's locale is neither read nor changed.
    const locale_t fromEnvironment = newlocale(LC_CTYPE_MASK, "", locale_t(nullptr));
    if (fromEnvironment == locale_t(nullptr)) {
        return "UTF-8";
    }
    QByteArray codeset(nl_langinfo_l(CODESET, fromEnvironment));
    freelocale(fromEnvironment);
    if (codeset.isEmpty() || codeset == "ANSI_X3.4-1968") {
        return "UTF-8";
    }
    return codeset;
}

SaveResult saveText(const QString &path, const QString &text, const QByteArray &encoding)
{
    const Encoded encoded = encode(text, encoding);
    if (!encoded.bytes) {
        return {false, encoded.errorText};
    }
    const QString shownPath = QDir::toNativeSeparators(path);
    // The new content goes to a temporary file beside the target, which replaces the target
    // only once everything is written; until then the earlier file stays as it was. A
    // QSaveFile that is not committed removes its temporary file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return {false, qstr(cannotCreateFileText(u16(shownPath)))};
    }
    // The write usually only fills Qt's buffer, and commit() ignores a failure to empty it
    // (QTBUG-75077) and would put a truncated file in place; flushing first catches a full disk
    // or a file-size limit while the earlier file is still untouched.
    if (file.write(*encoded.bytes) != encoded.bytes->size() || !file.flush() || !file.commit()) {
        return {false, qstr(cannotWriteFileText(u16(shownPath)))};
    }
    return {true, {}};
}

} // namespace corvanel::output
