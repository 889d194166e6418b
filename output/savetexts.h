#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What the user is told when a save fails, shared by the Qt and the Win32 output. UTF-16, with
// paths as the platform shows them.

namespace corvanel::output {

// The file could not be created (a missing folder, a path that is a folder, no right to write).
std::u16string cannotCreateFileText(std::u16string_view path);

// Writing, flushing or putting the file in place failed (a full disk, a file-size limit, a
// target another program holds open); the earlier file of that name is as it was.
std::u16string cannotWriteFileText(std::u16string_view path);

// text[index] (with its partner, for a surrogate pair) cannot be represented in the encoding
// the file is written in, named as the user knows it ("GBK"); nothing was written. The text
// shows the character and its code point, or the code point alone for half of a surrogate pair,
// which shows as nothing useful.
std::u16string unrepresentableCharacterText(std::u16string_view text, std::size_t index,
                                            std::u16string_view encodingName);

// The system's encoding is not one the program can convert to.
std::u16string unknownEncodingText(std::u16string_view encodingName);

// The text could not be converted for another reason.
std::u16string cannotConvertText(std::u16string_view encodingName);

// A per-user shell folder value (valueName, "Desktop") that is neither a string nor an
// expandable string.
std::u16string invalidValueTypeText(std::u16string_view valueName);

} // namespace corvanel::output
