#include "output/win32/shellfolder.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include <string>
#include <vector>

using corvanel::output::shellFolder;

namespace {

constexpr const wchar_t *shellFoldersKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Values of this test's own in the test prefix's real key, deleted again after each test.
class ShellFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, shellFoldersKey, 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &m_key, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override
    {
        for (const std::wstring &name : m_written) {
            RegDeleteValueW(m_key, name.c_str());
        }
        RegCloseKey(m_key);
    }

    // Writes a value of the given type with exactly these bytes.
    void writeValue(const std::wstring &name, DWORD type, const void *data, std::size_t size)
    {
        m_written.push_back(name);
        ASSERT_EQ(RegSetValueExW(m_key, name.c_str(), 0, type, static_cast<const BYTE *>(data),
                                 DWORD(size)),
                  ERROR_SUCCESS);
    }
    void writeString(const std::wstring &name, DWORD type, const std::wstring &text)
    {
        writeValue(name, type, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    }

    HKEY m_key = nullptr;
    std::vector<std::wstring> m_written;
};

const std::wstring valueName = L"Corvanel test " + std::to_wstring(GetCurrentProcessId());

struct StringCase {
    const char *name;
    DWORD type;
    std::wstring stored;
    std::wstring expected;
};

class ReadsTheFolder : public ShellFolderTest, public ::testing::WithParamInterface<StringCase> {};

TEST_P(ReadsTheFolder, OfAStringValue)
{
    ASSERT_TRUE(SetEnvironmentVariableW(L"CORVANEL_TEST_ROOT", L"D:\\用户\\测试"));
    writeString(valueName, GetParam().type, GetParam().stored);

    const auto result = shellFolder(valueName);

    SetEnvironmentVariableW(L"CORVANEL_TEST_ROOT", nullptr);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.folder, GetParam().expected);
    EXPECT_EQ(result.errorText, L"");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadsTheFolder,
    ::testing::Values(StringCase{"String", REG_SZ, L"C:\\users\\测试\\桌面",
                                 L"C:\\users\\测试\\桌面"},
                      StringCase{"ExpandableString", REG_EXPAND_SZ,
                                 L"%CORVANEL_TEST_ROOT%\\Desktop", L"D:\\用户\\测试\\Desktop"},
                      StringCase{"ExpandableStringWithoutVariables", REG_EXPAND_SZ, L"C:\\Desktop",
                                 L"C:\\Desktop"},
                      StringCase{"EmptyString", REG_SZ, L"", L""},
                      StringCase{"EmptyExpandableString", REG_EXPAND_SZ, L"", L""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ShellFolderTest, StringStoredWithoutItsNullCharacter)
{
    const std::wstring folder = L"C:\\users\\测试\\桌面";
    writeValue(valueName, REG_SZ, folder.data(), folder.size() * sizeof(wchar_t));

    EXPECT_EQ(shellFolder(valueName).folder, folder);
}

TEST_F(ShellFolderTest, MissingValueGivesNoFolder)
{
    const auto result = shellFolder(valueName);

    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.folder, L"");
}

struct WrongTypeCase {
    const char *name;
    DWORD type;
    std::vector<BYTE> data;
};

class WrongType : public ShellFolderTest, public ::testing::WithParamInterface<WrongTypeCase> {};

TEST_P(WrongType, IsAnError)
{
    writeValue(valueName, GetParam().type, GetParam().data.data(), GetParam().data.size());

    const auto result = shellFolder(valueName);

    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.errorText, L"'" + valueName + L"' 的数据类型是无效的");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WrongType,
    ::testing::Values(WrongTypeCase{"Dword", REG_DWORD, {1, 0, 0, 0}},
                      WrongTypeCase{"Binary", REG_BINARY, {'C', 0, ':', 0, 0, 0}},
                      // Strings, but a list of them: not a folder.
                      WrongTypeCase{"MultiString", REG_MULTI_SZ, {'C', 0, ':', 0, 0, 0, 0, 0}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ShellFolderTest, TheDesktopIsTheShellsDesktop)
{
    wchar_t desktop[MAX_PATH] = {};
    ASSERT_EQ(
        SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop),
        S_OK);

    const auto result = shellFolder(L"Desktop");

    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.folder, desktop);
}

// HKEY_CURRENT_USER stands for an empty key of the test's own, which has no shell folders.
TEST_F(ShellFolderTest, MissingKeyGivesNoFolderAndIsNotCreated)
{
    const std::wstring emptyKey = L"Software\\Corvanel test " + valueName;
    HKEY empty = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, emptyKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &empty, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, empty), ERROR_SUCCESS);

    const auto result = shellFolder(L"Desktop");

    HKEY created = nullptr;
    const LSTATUS opened = RegOpenKeyExW(empty, shellFoldersKey, 0, KEY_READ, &created);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (opened == ERROR_SUCCESS) {
        RegCloseKey(created);
    }
    RegCloseKey(empty);
    RegDeleteTreeW(HKEY_CURRENT_USER, emptyKey.c_str());
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.folder, L"");
    EXPECT_EQ(opened, ERROR_FILE_NOT_FOUND);
}

} // namespace
