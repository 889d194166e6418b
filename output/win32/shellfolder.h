#pragma once

#include <string>
#include <string_view>

namespace corvanel::output {

struct [[nodiscard]] ShellFolderResult {
    bool ok;
    std::wstring folder;    // when ok: the folder, or empty when the registry names none
    std::wstring errorText; // when !ok: what the user is told, in the program's own language
};

// The per-user shell folder stored as the value name ("Desktop") under HKEY_CURRENT_USER
// "Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders". The key is opened for
// reading only, never created. A missing key or value, an empty value, or one that cannot be
// read give an empty folder; an expandable string has its environment variables expanded; a
// value that is neither a string nor an expandable string is an error, invalidValueTypeText.
ShellFolderResult shellFolder(std::wstring_view name);

} // namespace corvanel::output
