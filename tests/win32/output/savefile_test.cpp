#include "core/reduction.h"
#include "output/win32/savefile.h"
#include "output/win32/widetext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

using corvanel::output::saveText;
using corvanel::output::wideText;

namespace {

namespace fs = std::filesystem;

std::wstring resultFor00()
{
    return wideText(corvanel::reduce({0, 0}).resultText);
}

// The bytes of an ASCII text.
std::string ascii(const std::wstring &text)
{
    return {text.begin(), text.end()};
}

std::string fromHex(std::string_view hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += char(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    }
    return bytes;
}

std::optional<std::string> fileBytes(const std::wstring &path)
{
    std::ifstream file(fs::path(path), std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool writeFile(const std::wstring &path, std::string_view bytes)
{
    std::ofstream file(fs::path(path), std::ios::binary);
    return bool(file.write(bytes.data(), std::streamsize(bytes.size())));
}

// Each test saves into a scratch folder of its own in the session's temporary folder.
class SaveFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The Wine session runs in Simplified Chinese, so CP_ACP stands for GBK here.
        ASSERT_EQ(GetACP(), 936u);
        const auto *const test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "corvanel-save-" + std::to_string(GetCurrentProcessId()) + "-" +
                           test->test_suite_name() + "-" + test->name();
        std::ranges::replace(name, '/', '-');
        m_dir = fs::temp_directory_path() / name;
        fs::remove_all(m_dir);
        ASSERT_TRUE(fs::create_directories(m_dir));
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    std::wstring path(const std::wstring &name) const { return (m_dir / name).wstring(); }

    // The names in the scratch folder (or in one of its folders), sorted.
    std::vector<std::wstring> entries(const std::wstring &folder = {}) const
    {
        std::vector<std::wstring> names;
        for (const auto &entry : fs::directory_iterator(m_dir / folder)) {
            names.push_back(entry.path().filename().wstring());
        }
        std::ranges::sort(names);
        return names;
    }

    fs::path m_dir;
};

using Names = std::vector<std::wstring>;

struct BytesCase {
    const char *name;
    std::wstring text;
    UINT codePage;
    std::string expected;
};

class WritesTheTextByteForByte : public SaveFileTest,
                                 public ::testing::WithParamInterface<BytesCase> {};

TEST_P(WritesTheTextByteForByte, InTheCodePage)
{
    const BytesCase &row = GetParam();

    const auto result = saveText(path(L"result.txt"), row.text, row.codePage);

    ASSERT_TRUE(result.ok) << ::testing::PrintToString(result.errorText);
    EXPECT_EQ(fileBytes(path(L"result.txt")), row.expected);
    EXPECT_EQ(entries(), Names{L"result.txt"});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WritesTheTextByteForByte,
    ::testing::Values(
        BytesCase{"ResultFor00InTheAnsiCodePage", resultFor00(), CP_ACP, ascii(resultFor00())},
        BytesCase{"EmptyText", L"", CP_ACP, ""},
        BytesCase{"ChineseIn936", L"缩水结果：75注", 936, fromHex("cbf5cbaebde1b9fba3ba3735d7a2")},
        BytesCase{"ChineseInTheAnsiCodePage", L"缩水结果：75注", CP_ACP,
                  fromHex("cbf5cbaebde1b9fba3ba3735d7a2")},
        BytesCase{"EuroSignIn936", L"中€", 936, fromHex("d6d080")},
        BytesCase{"LatinIn1252", L"Café Straße €", 1252, fromHex("436166e92053747261df652080")},
        BytesCase{"BeyondTheBasicPlaneInUtf8", L"缩水😀", CP_UTF8, fromHex("e7bca9e6b0b4f09f9880")},
        BytesCase{"CrLfKept", L"00 01 \r\n02 \r\n\r\n", CP_ACP, "00 01 \r\n02 \r\n\r\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SaveFileTest, ResultFor00IsOneLineOf225Bytes)
{
    ASSERT_TRUE(saveText(path(L"00.txt"), resultFor00()).ok);

    const std::string bytes = fileBytes(path(L"00.txt")).value_or("unreadable");
    EXPECT_EQ(bytes.size(), 225u);
    EXPECT_TRUE(bytes.starts_with("00 01 02 ")) << bytes;
    EXPECT_TRUE(bytes.ends_with("93 94 ")) << bytes;
    EXPECT_EQ(bytes.find_first_of("\r\n"), std::string::npos) << bytes;
}

TEST_F(SaveFileTest, ReplacesAnExistingFile)
{
    const std::wstring target = path(L"result.txt");
    ASSERT_TRUE(writeFile(target, std::string(1000, 'x')));

    ASSERT_TRUE(saveText(target, L"37 ").ok);

    EXPECT_EQ(fileBytes(target), "37 ");
    EXPECT_EQ(entries(), Names{L"result.txt"});
}

struct RefusedCase {
    const char *name;
    UINT codePage;
    std::wstring text;
    std::wstring errorText;
};

class RefusesUnrepresentableText : public SaveFileTest,
                                   public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusesUnrepresentableText, BeforeTouchingTheDisk)
{
    const RefusedCase &row = GetParam();
    const std::wstring earlier = path(L"earlier.txt");
    ASSERT_TRUE(writeFile(earlier, "earlier content\r\n"));

    const auto intoEarlier = saveText(earlier, row.text, row.codePage);
    const auto intoNew = saveText(path(L"new.txt"), row.text, row.codePage);

    EXPECT_FALSE(intoEarlier.ok);
    EXPECT_EQ(intoEarlier.errorText, row.errorText);
    EXPECT_FALSE(intoNew.ok);
    EXPECT_EQ(intoNew.errorText, row.errorText);
    EXPECT_EQ(fileBytes(earlier), "earlier content\r\n");
    EXPECT_EQ(entries(), Names{L"earlier.txt"});
}

const wchar_t highSurrogate = 0xD83D;
const wchar_t lowSurrogate = 0xDE00;

INSTANTIATE_TEST_SUITE_P(
    Rows, RefusesUnrepresentableText,
    ::testing::Values(
        RefusedCase{"EmojiIn936", 936, L"00 01 😀 02 ",
                    L"字符“😀”（U+1F600）不能用系统的字符编码 GBK 表示，文件没有保存"},
        RefusedCase{"EmojiInTheAnsiCodePage", CP_ACP, L"😀",
                    L"字符“😀”（U+1F600）不能用系统的字符编码 GBK 表示，文件没有保存"},
        RefusedCase{"HangulIn936", 936, L"中한",
                    L"字符“한”（U+D55C）不能用系统的字符编码 GBK 表示，文件没有保存"},
        RefusedCase{"FirstOfTwoNamed", 936, L"00 한 😀",
                    L"字符“한”（U+D55C）不能用系统的字符编码 GBK 表示，文件没有保存"},
        RefusedCase{"BulletIn936NotBestFitted", 936, L"00 • 01",
                    L"字符“•”（U+2022）不能用系统的字符编码 GBK 表示，文件没有保存"},
        RefusedCase{"ChineseIn1252", 1252, L"ä中",
                    L"字符“中”（U+4E2D）不能用系统的字符编码 Windows-1252 表示，文件没有保存"},
        RefusedCase{"MacronIn1252NotBestFitted", 1252, L"Straße ā",
                    L"字符“ā”（U+0101）不能用系统的字符编码 Windows-1252 表示，文件没有保存"},
        RefusedCase{"LoneHighSurrogateInUtf8", CP_UTF8,
                    std::wstring(L"00 ") + highSurrogate + L"01",
                    L"字符 U+D83D 不能用系统的字符编码 UTF-8 表示，文件没有保存"},
        RefusedCase{"LoneHighSurrogateAtTheEndInUtf8", CP_UTF8,
                    std::wstring(L"00 ") + highSurrogate,
                    L"字符 U+D83D 不能用系统的字符编码 UTF-8 表示，文件没有保存"},
        RefusedCase{"LoneLowSurrogateIn936", 936, std::wstring(L"中") + lowSurrogate,
                    L"字符 U+DE00 不能用系统的字符编码 GBK 表示，文件没有保存"},
        RefusedCase{"UnknownCodePage", 12345, L"00 ",
                    L"不能识别系统的字符编码 代码页 12345，文件没有保存"}),
    [](const auto &info) { return std::string(info.param.name); });

class CannotCreate : public SaveFileTest, public ::testing::WithParamInterface<const wchar_t *> {};

TEST_P(CannotCreate, LeavesTheFolderAsItWas)
{
    const std::wstring name = GetParam();
    ASSERT_TRUE(fs::create_directory(m_dir / L"folder"));
    ASSERT_TRUE(writeFile(path(L"folder\\inside.txt"), "kept"));
    ASSERT_TRUE(writeFile(path(L"read-only.txt"), "earlier content"));
    ASSERT_TRUE(SetFileAttributesW(path(L"read-only.txt").c_str(), FILE_ATTRIBUTE_READONLY));

    const auto result = saveText(path(name), resultFor00());

    SetFileAttributesW(path(L"read-only.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.errorText, L"不能创建文件 " + path(name));
    EXPECT_EQ(entries(), (Names{L"folder", L"read-only.txt"}));
    EXPECT_EQ(entries(L"folder"), Names{L"inside.txt"});
    EXPECT_EQ(fileBytes(path(L"folder\\inside.txt")), "kept");
    EXPECT_EQ(fileBytes(path(L"read-only.txt")), "earlier content");
}

INSTANTIATE_TEST_SUITE_P(Rows, CannotCreate,
                         ::testing::Values(L"no such folder\\result.txt", L"folder", L"folder\\",
                                           L"read-only.txt"));

// Another program has the target open without FILE_SHARE_DELETE (as an editor or a viewer
// may), so it can be neither deleted nor renamed over.
class TargetHeldOpen : public SaveFileTest, public ::testing::WithParamInterface<DWORD> {};

TEST_P(TargetHeldOpen, CannotWriteAndKeepsTheEarlierFile)
{
    const std::wstring target = path(L"result.txt");
    ASSERT_TRUE(writeFile(target, "earlier content\r\n"));
    const HANDLE holder = CreateFileW(target.c_str(), GENERIC_READ, GetParam(), nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    const auto result = saveText(target, resultFor00());

    CloseHandle(holder);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.errorText, L"不能写入文件 " + target + L"，文件没有保存");
    EXPECT_EQ(fileBytes(target), "earlier content\r\n");
    EXPECT_EQ(entries(), Names{L"result.txt"});
}

INSTANTIATE_TEST_SUITE_P(ShareModes, TargetHeldOpen,
                         ::testing::Values(DWORD(0), DWORD(FILE_SHARE_READ),
                                           DWORD(FILE_SHARE_READ | FILE_SHARE_WRITE)));

} // namespace
