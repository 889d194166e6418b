#pragma once

#include <string>
#include <string_view>

// The window's own texts and the rule of its error report, shared by the Qt and the Win32
// window. UTF-16, the units of both platforms' text controls.

namespace corvanel::ui {

// The application's title: the window's, every message box's, and the name it runs under.
inline constexpr std::u16string_view applicationTitle = u"Corvanel";
// The one button of every message box.
inline constexpr std::u16string_view okButtonText = u"确定";

inline constexpr std::u16string_view filterButtonText = u"过滤";
inline constexpr std::u16string_view saveButtonText = u"保存";
inline constexpr std::u16string_view copyButtonText = u"复制";
inline constexpr std::u16string_view closeButtonText = u"退出";
inline constexpr std::u16string_view countLabelText = u"缩水结果：";
inline constexpr std::u16string_view lastDrawLabelText = u"上期开奖：";
inline constexpr std::u16string_view verdictLabelText = u"对奖";

// The save dialog's one file type, and the extension a name typed without one gets.
inline constexpr std::u16string_view textFileFilterName = u"文本文件(*.txt)";
inline constexpr std::u16string_view textFilePattern = u"*.txt";
inline constexpr std::u16string_view textFileExtension = u"txt";
inline constexpr std::u16string_view savedMessage = u"成功保存！";

// The text of the application's error report: errorText with "." added when its last character
// sorts after "." (compared as UTF-16 code units, so a text ending in "!" or ")" stays as it is
// while one ending in a letter, a digit or any Chinese character, "。" included, gets it).
std::u16string withFullStop(std::u16string_view errorText);

} // namespace corvanel::ui
