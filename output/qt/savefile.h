#pragma once

#include <QByteArray>
#include <QString>

// Saving the result as a text file. The file holds exactly the given text in one character
// encoding: no byte-order mark, no header, no line break added, line breaks as they are in the
// text. The text is encoded in full before the file is touched, and the file is replaced
// atomically, so a save that fails leaves an earlier file of that name exactly as it was.

namespace corvanel::output {

struct [[nodiscard]] SaveResult {
    bool ok;
    QString errorText; // when !ok: what the user is told, in the program's own language
};

// The character encoding of the user's locale (LC_ALL, LC_CTYPE or LANG, as setlocale reads
// them), as its codeset name: "UTF-8", "GBK", "GB18030", ... When the environment names no
// locale, or one that is not installed, the process runs in the C locale; its 7-bit ASCII
// could not hold the program's own Chinese texts, so UTF-8 stands in for it, as it does for
// Qt's own 8-bit texts.
QByteArray localeEncoding();

// Writes text to the file at path in the given encoding (an iconv codeset name), replacing an
// existing file without asking. Fails without touching the disk when a character of the text
// cannot be represented in the encoding; it is never replaced by "?".
SaveResult saveText(const QString &path, const QString &text, const QByteArray &encoding);

inline SaveResult saveText(const QString &path, const QString &text)
{
    return saveText(path, text, localeEncoding());
}

} // namespace corvanel::output
