#pragma once

#include <QString>

#include <string_view>

// The core and the shared texts count in UTF-16 code units, as QString does, so texts cross
// without conversion and positions in them mean the same on both sides.

namespace corvanel::output {

inline std::u16string_view u16(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()),
            static_cast<std::size_t>(text.size())};
}

inline QString qstr(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace corvanel::output
