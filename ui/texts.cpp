#include "ui/texts.h"

namespace corvanel::ui {

std::u16string withFullStop(std::u16string_view errorText)
{
    std::u16string text(errorText);
    if (!text.empty() && text.back() > u'.') {
        text += u'.';
    }
    return text;
}

} // namespace corvanel::ui
