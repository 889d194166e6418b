#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Saving the result as a text file. The file holds exactly the given text in one Windows code
// page: no byte-order mark, no header, no line break added, line breaks as they are in the
// text (CR LF from an edit control). The text is encoded in full before the disk is touched,
// and the file is replaced atomically, so a save that fails leaves an earlier file of that name
// exactly as it was.

namespace corvanel::output {

struct [[nodiscard]] SaveResult {
    bool ok;
    std::wstring errorText; // when !ok: what the user is told, in the program's own language
};

// Writes text to the file at path in the given code page, by default the system's ANSI code
// page, replacing an existing file without asking. A character the code page cannot represent
// (or half of a surrogate pair) fails the save before the disk is touched; it is never replaced
// by "?" or a look-alike. The message names the code page as the user knows it: "GBK" (936),
// "Big5" (950), "Shift_JIS" (932), "UHC" (949), "GB18030" (54936), "UTF-8" (65001),
// "Windows-1252" and the like for 874 and 1250-1258, otherwise "代码页 N". The new content goes to
// a temporary file beside the target, which is flushed to the disk and then put in the target's
// place (ReplaceFileW over an existing file, so that it keeps the earlier file's attributes and
// security; MoveFileExW for a new one). Failures: the temporary file cannot be created, or path is
// a folder or a read-only file: cannotCreateFileText; writing, flushing or putting the file in
// place fails: cannotWriteFileText (the temporary file is removed again).
SaveResult saveText(const std::wstring &path, std::wstring_view text, UINT codePage = CP_ACP);

} // namespace corvanel::output
