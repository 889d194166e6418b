#include "output/savetexts.h"

#include <initializer_list>

namespace corvanel::output {
namespace {

// Appends instead of "literal" + string: GCC 12 at -O3 warns falsely (-Wrestrict) on the latter.
std::u16string join(std::initializer_list<std::u16string_view> parts)
{
    std::u16string text;
    for (const std::u16string_view part : parts) {
        text += part;
    }
    return text;
}

bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// "U+1F600": at least four upper-case hexadecimal digits.
std::u16string codePointName(char32_t codePoint)
{
    std::u16string digits;
    do {
        digits.insert(digits.begin(), u"0123456789ABCDEF"[codePoint % 16]);
        codePoint /= 16;
    } while (codePoint != 0);
    if (digits.size() < 4) {
        digits.insert(0, 4 - digits.size(), u'0');
    }
    return join({u"U+", digits});
}

std::u16string describeCharacter(std::u16string_view text, std::size_t index)
{
    const char16_t c = text[index];
    if (isHighSurrogate(c) && index + 1 < text.size() && isLowSurrogate(text[index + 1])) {
        const char32_t codePoint =
            0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(text[index + 1]) - 0xDC00);
        return join({u"“", text.substr(index, 2), u"”（", codePointName(codePoint), u"）"});
    }
    if (isHighSurrogate(c) || isLowSurrogate(c)) {
        return join({u" ", codePointName(c), u" "});
    }
    return join({u"“", text.substr(index, 1), u"”（", codePointName(c), u"）"});
}

} // namespace

std::u16string cannotCreateFileText(std::u16string_view path)
{
    return join({u"不能创建文件 ", path});
}

std::u16string cannotWriteFileText(std::u16string_view path)
{
    return join({u"不能写入文件 ", path, u"，文件没有保存"});
}

std::u16string unrepresentableCharacterText(std::u16string_view text, std::size_t index,
                                            std::u16string_view encodingName)
{
    return join({u"字符", describeCharacter(text, index), u"不能用系统的字符编码 ", encodingName,
                 u" 表示，文件没有保存"});
}

std::u16string unknownEncodingText(std::u16string_view encodingName)
{
    return join({u"不能识别系统的字符编码 ", encodingName, u"，文件没有保存"});
}

std::u16string cannotConvertText(std::u16string_view encodingName)
{
    return join({u"不能用系统的字符编码 ", encodingName, u" 转换文本，文件没有保存"});
}

std::u16string invalidValueTypeText(std::u16string_view valueName)
{
    return join({u"'", valueName, u"' 的数据类型是无效的"});
}

} // namespace corvanel::output
