#include "windowdriver.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

using namespace wintest;

namespace {

constexpr wchar_t shellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// Where the shell keeps the folders themselves; it rewrites the Shell Folders values from
// these whenever a program asks it for a folder (the save dialog does).
constexpr wchar_t userShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// A string value as stored, environment variables not expanded; empty when there is none.
std::wstring storedString(const wchar_t *key, const wchar_t *name, DWORD &type)
{
    std::wstring text(32768, L'\0');
    DWORD size = DWORD(text.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, key, name,
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type, text.data(),
                     &size) != ERROR_SUCCESS) {
        return {};
    }
    text.resize(size / sizeof(wchar_t) - 1);
    return text;
}

std::optional<std::string> fileBytes(const std::wstring &path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    return bytes;
}

bool writeFile(const std::wstring &path, const std::string &bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

// The names in a folder, hidden ones included.
std::vector<std::wstring> entries(const std::wstring &folder)
{
    std::vector<std::wstring> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().wstring());
    }
    return names;
}

std::string ascii(const std::wstring &text)
{
    return {text.begin(), text.end()};
}

// Keys typed into the memo: '\n' is Enter.
std::vector<INPUT> memoKeys(std::wstring_view text)
{
    std::vector<INPUT> events;
    for (const wchar_t c : text) {
        const std::vector<INPUT> one =
            c == L'\n' ? chord(VK_RETURN) : typing(std::wstring_view(&c, 1));
        events.insert(events.end(), one.begin(), one.end());
    }
    return events;
}

} // namespace

// Every test gets a scratch folder of its own, with a Desktop folder "桌面" that the registry
// names as the user's Desktop, the way a Chinese Windows sets it up.
class CopySave : public WindowTest {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH + 1] = {};
        ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0U);
        root = std::wstring(temp) + L"corvanel 测试 " + std::to_wstring(GetTickCount64());
        desktop = root + L"\\桌面";
        ASSERT_TRUE(std::filesystem::create_directories(desktop));
        // The user's Desktop is this folder, for the shell as for the program.
        userDesktop = storedString(userShellFolders, L"Desktop", userDesktopType);
        ASSERT_FALSE(userDesktop.empty());
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, userShellFolders, L"Desktop", REG_SZ,
                                  desktop.c_str(), DWORD((desktop.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        setDesktopValue(REG_SZ, desktop);
        WindowTest::SetUp();
    }

    void TearDown() override
    {
        WindowTest::TearDown();
        if (!userDesktop.empty()) {
            RegSetKeyValueW(HKEY_CURRENT_USER, userShellFolders, L"Desktop", userDesktopType,
                            userDesktop.c_str(), DWORD((userDesktop.size() + 1) * sizeof(wchar_t)));
        }
        RegDeleteKeyValueW(HKEY_CURRENT_USER, shellFolders, L"Desktop");
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    static void setDesktopValue(DWORD type, const std::wstring &text)
    {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, shellFolders, L"Desktop", type, text.c_str(),
                                  DWORD((text.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

    // Fills the memo: draw reduced (none when empty), then keys typed at the memo's end.
    void fillMemo(const std::wstring &draw, const std::wstring &typed)
    {
        if (!draw.empty()) {
            reduce(draw);
        }
        if (!typed.empty()) {
            ASSERT_TRUE(press(*window, VK_TAB));
            ASSERT_EQ(focus(), memcode);
            ASSERT_TRUE(press(*window, VK_END, {VK_CONTROL}, true));
            ASSERT_TRUE(send(*window, memoKeys(typed)));
        }
    }

    std::wstring root;
    std::wstring desktop;
    std::wstring userDesktop;
    DWORD userDesktopType = REG_NONE;
};

// ---- Copy ----------------------------------------------------------------------------------

struct CopyCase {
    const char *name;
    const wchar_t *draw;
    const wchar_t *typed;
    std::wstring expected;
};

class Copy : public CopySave, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(Copy, PutsTheMemoOnTheClipboard)
{
    const CopyCase &c = GetParam();
    ASSERT_TRUE(setClipboardText(L"held before"));
    fillMemo(c.draw, c.typed);
    ASSERT_EQ(textOf(memcode), c.expected);
    ModalWatch watch(frmmain);

    ASSERT_TRUE(click(*window, btncopy));

    EXPECT_EQ(clipboardText(), c.expected);
    EXPECT_EQ(textOf(memcode), c.expected);
    EXPECT_TRUE(watch.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Window, Copy,
                         ::testing::Values(CopyCase{"result_for_00", L"00", L"", resultFor(0, 0)},
                                           CopyCase{"line_breaks_typed", L"", L"00 01\n02 \n\n03",
                                                    L"00 01\r\n02 \r\n\r\n03"},
                                           CopyCase{"chinese_note_after_result", L"37", L"\n备注",
                                                    resultFor(3, 7) + L"\r\n备注"},
                                           CopyCase{"empty_memo", L"", L"", L""}),
                         [](const ::testing::TestParamInfo<CopyCase> &info) {
                             return std::string(info.param.name);
                         });

// ---- Save ----------------------------------------------------------------------------------

struct SaveCase {
    const char *name;
    const wchar_t *draw;
    const wchar_t *typed; // into the memo
    std::optional<std::string> earlier;
    const wchar_t *typedName;
    const wchar_t *savedName;
    std::string expected;
};

class Save : public CopySave, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(Save, WritesTheMemoInTheCodePage)
{
    const SaveCase &c = GetParam();
    ASSERT_EQ(GetACP(), 936U) << "the session runs in Simplified Chinese";
    const std::wstring saved = desktop + L"\\" + c.savedName;
    if (c.earlier) {
        ASSERT_TRUE(writeFile(saved, *c.earlier));
    }
    fillMemo(c.draw, c.typed);
    const std::wstring memo = textOf(memcode);
    ModalWatch watch(frmmain, {typeName(c.typedName)});

    ASSERT_TRUE(click(*window, btnsave));

    EXPECT_FALSE(watch.stuck);
    ASSERT_EQ(watch.dialogs.size(), 1U);
    const DialogSeen &dialog = watch.dialogs.front();
    EXPECT_EQ(dialog.folder, desktop);
    EXPECT_EQ(dialog.nameBox, L"");
    EXPECT_EQ(dialog.fileTypes, std::vector<std::wstring>{L"文本文件(*.txt)"});

    EXPECT_EQ(fileBytes(saved), c.expected);
    EXPECT_EQ(entries(desktop), std::vector<std::wstring>{c.savedName});
    // One box, the confirmation; an overwrite question would show here too.
    ASSERT_EQ(watch.boxes.size(), 1U);
    EXPECT_EQ(watch.boxes.front().title, L"Corvanel");
    EXPECT_EQ(watch.boxes.front().text, L"成功保存！");
    EXPECT_FALSE(watch.boxes.front().icon);
    EXPECT_EQ(watch.boxes.front().buttons, std::vector<std::wstring>{L"确定"});
    EXPECT_EQ(textOf(memcode), memo);
}

INSTANTIATE_TEST_SUITE_P(
    Window, Save,
    ::testing::Values(SaveCase{"no_extension_typed", L"00", L"", std::nullopt, L"result",
                               L"result.txt", ascii(resultFor(0, 0))},
                      SaveCase{"extension_typed", L"00", L"", std::nullopt, L"list.txt",
                               L"list.txt", ascii(resultFor(0, 0))},
                      SaveCase{"over_an_existing_file", L"37", L"", std::string(500, 'x'),
                               L"result", L"result.txt", ascii(resultFor(3, 7))},
                      SaveCase{"empty_memo", L"", L"", std::nullopt, L"empty", L"empty.txt", ""},
                      // "中奖" in code page 936, the line break as the memo holds it.
                      SaveCase{"chinese_and_line_breaks_in_gbk", L"", L"中奖 00\n01 ", std::nullopt,
                               L"结果", L"结果.txt", "\xD6\xD0\xBD\xB1 00\r\n01 "}),
    [](const ::testing::TestParamInfo<SaveCase> &info) { return std::string(info.param.name); });

// The dialog is set anew each time: after a name typed and cancelled, and after a save into
// another folder, it opens again on the Desktop with an empty name box.
TEST_F(CopySave, DialogOpensEmptyOnTheDesktopEachTime)
{
    const std::wstring elsewhere = root + L"\\其他";
    ASSERT_TRUE(std::filesystem::create_directory(elsewhere));
    reduce(L"00");
    ModalWatch watch(
        frmmain, {typeThenCancel(L"draft"), typeName(elsewhere + L"\\first"), typeThenCancel(L"")});

    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(click(*window, btnsave));
    }

    EXPECT_FALSE(watch.stuck);
    ASSERT_EQ(watch.dialogs.size(), 3U);
    for (const DialogSeen &dialog : watch.dialogs) {
        EXPECT_EQ(dialog.folder, desktop);
        EXPECT_EQ(dialog.nameBox, L"");
    }
    EXPECT_EQ(fileBytes(elsewhere + L"\\first.txt"), ascii(resultFor(0, 0)));
    EXPECT_EQ(entries(desktop), std::vector<std::wstring>{});
    ASSERT_EQ(watch.boxes.size(), 1U);
    EXPECT_EQ(watch.boxes.front().text, L"成功保存！");
}

enum class Value { String, ExpandString, Missing, Dword };

struct RegistryCase {
    const char *name;
    Value value;
};

class Registry : public CopySave, public ::testing::WithParamInterface<RegistryCase> {};

// The Desktop value decides where the dialog opens; one of the wrong type is an error and no
// dialog opens. Cancelling writes nothing and shows nothing.
TEST_P(Registry, DesktopValue)
{
    const RegistryCase &c = GetParam();
    const std::wstring other = root + L"\\另一个桌面";
    ASSERT_TRUE(std::filesystem::create_directory(other));
    switch (c.value) {
    case Value::String:
        setDesktopValue(REG_SZ, other);
        break;
    case Value::ExpandString:
        ASSERT_TRUE(SetEnvironmentVariableW(L"CORVANEL_TEST_ROOT", root.c_str()));
        setDesktopValue(REG_EXPAND_SZ, L"%CORVANEL_TEST_ROOT%\\另一个桌面");
        break;
    case Value::Missing:
        ASSERT_EQ(RegDeleteKeyValueW(HKEY_CURRENT_USER, shellFolders, L"Desktop"), ERROR_SUCCESS);
        break;
    case Value::Dword: {
        const DWORD number = 1;
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, shellFolders, L"Desktop", REG_DWORD, &number,
                                  sizeof number),
                  ERROR_SUCCESS);
        break;
    }
    }
    reduce(L"00");
    ModalWatch watch(frmmain, {typeThenCancel(L"result")});

    ASSERT_TRUE(click(*window, btnsave));

    EXPECT_FALSE(watch.stuck);
    EXPECT_TRUE(entries(other).empty());
    EXPECT_TRUE(entries(desktop).empty());
    if (c.value == Value::Dword) {
        EXPECT_TRUE(watch.dialogs.empty());
        ASSERT_EQ(watch.boxes.size(), 1U);
        const BoxSeen &box = watch.boxes.front();
        EXPECT_EQ(box.title, L"Corvanel");
        EXPECT_EQ(box.text, L"'Desktop' 的数据类型是无效的.");
        EXPECT_TRUE(box.icon);
        EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"确定"});
        return;
    }
    ASSERT_EQ(watch.dialogs.size(), 1U);
    EXPECT_TRUE(watch.boxes.empty());
    if (c.value != Value::Missing) {
        EXPECT_EQ(watch.dialogs.front().folder, other);
    }
}

INSTANTIATE_TEST_SUITE_P(Window, Registry,
                         ::testing::Values(RegistryCase{"string", Value::String},
                                           RegistryCase{"expandable_string", Value::ExpandString},
                                           RegistryCase{"missing", Value::Missing},
                                           RegistryCase{"wrong_type", Value::Dword}),
                         [](const ::testing::TestParamInfo<RegistryCase> &info) {
                             return std::string(info.param.name);
                         });

// A target another program holds open without sharing cannot be replaced: the error, no
// confirmation, and the earlier file as it was, nothing left beside it.
TEST_F(CopySave, TargetHeldOpenShowsTheWriteError)
{
    const std::wstring target = desktop + L"\\held.txt";
    ASSERT_TRUE(writeFile(target, "earlier\r\n"));
    HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    reduce(L"00");
    ModalWatch watch(frmmain, {typeName(L"held")});

    const bool clicked = click(*window, btnsave);
    CloseHandle(held);
    ASSERT_TRUE(clicked);

    EXPECT_FALSE(watch.stuck);
    ASSERT_EQ(watch.boxes.size(), 1U);
    const BoxSeen &box = watch.boxes.front();
    EXPECT_EQ(box.title, L"Corvanel");
    EXPECT_EQ(box.text, L"不能写入文件 " + target + L"，文件没有保存.");
    EXPECT_TRUE(box.icon);
    EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"确定"});
    EXPECT_EQ(fileBytes(target), "earlier\r\n");
    EXPECT_EQ(entries(desktop), std::vector<std::wstring>{L"held.txt"});
    EXPECT_EQ(textOf(memcode), resultFor(0, 0));
}
