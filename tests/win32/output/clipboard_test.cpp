#include "core/reduction.h"
#include "output/win32/clipboard.h"
#include "output/win32/widetext.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

using corvanel::output::copyText;
using corvanel::output::wideText;

namespace {

// The clipboard's Unicode text, read as another program would read it; none when it holds no
// text.
std::optional<std::wstring> clipboardText()
{
    if (!OpenClipboard(nullptr)) {
        return std::nullopt;
    }
    std::optional<std::wstring> text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
        if (const auto *const characters = static_cast<const wchar_t *>(GlobalLock(data))) {
            // The text ends at its null character, which must lie within the block.
            const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
            const std::wstring_view block(characters, capacity);
            if (const std::size_t end = block.find(L'\0'); end != std::wstring_view::npos) {
                text = std::wstring(block.substr(0, end));
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_window, nullptr);
    }
    void TearDown() override { DestroyWindow(m_window); }

    HWND m_window = nullptr;
};

struct CopyCase {
    const char *name;
    std::wstring text;
};

class CopiesTheText : public ClipboardTest, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(CopiesTheText, AsUnicodeText)
{
    ASSERT_TRUE(copyText(m_window, GetParam().text));

    EXPECT_EQ(clipboardText(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CopiesTheText,
    ::testing::Values(CopyCase{"ResultFor00", wideText(corvanel::reduce({0, 0}).resultText)},
                      CopyCase{"LineBreaksKept", L"00 01 \r\n02 \r\n\r\n03"},
                      CopyCase{"ChineseAndEmoji", L"缩水结果：75注 😀"}, CopyCase{"EmptyText", L""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ClipboardTest, ReplacesWhatTheClipboardHeld)
{
    const UINT otherFormat = RegisterClipboardFormatW(L"Corvanel test format");
    ASSERT_NE(otherFormat, 0u);
    ASSERT_TRUE(OpenClipboard(m_window));
    ASSERT_TRUE(EmptyClipboard());
    const HGLOBAL other = GlobalAlloc(GMEM_MOVEABLE, 4);
    ASSERT_NE(SetClipboardData(otherFormat, other), nullptr);
    ASSERT_TRUE(CloseClipboard());
    ASSERT_TRUE(IsClipboardFormatAvailable(otherFormat));

    ASSERT_TRUE(copyText(m_window, L"37 "));

    EXPECT_FALSE(IsClipboardFormatAvailable(otherFormat));
    EXPECT_EQ(clipboardText(), L"37 ");
}

// Another thread stands in for another program that has the clipboard open.
class ClipboardHolder {
public:
    // Holds the clipboard open until release() or for at most holdMilliseconds.
    explicit ClipboardHolder(DWORD holdMilliseconds)
        : m_opened(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_release(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_thread([this, holdMilliseconds] {
              if (OpenClipboard(nullptr)) {
                  SetEvent(m_opened);
                  WaitForSingleObject(m_release, holdMilliseconds);
                  CloseClipboard();
              }
          })
    {}
    ~ClipboardHolder()
    {
        release();
        m_thread.join();
        CloseHandle(m_opened);
        CloseHandle(m_release);
    }
    ClipboardHolder(const ClipboardHolder &) = delete;
    ClipboardHolder &operator=(const ClipboardHolder &) = delete;

    bool waitUntilOpened() { return WaitForSingleObject(m_opened, 10000) == WAIT_OBJECT_0; }
    void release() { SetEvent(m_release); }

private:
    HANDLE m_opened;
    HANDLE m_release;
    std::thread m_thread;
};

TEST_F(ClipboardTest, WaitsBrieflyForAnotherProgramToCloseTheClipboard)
{
    ASSERT_TRUE(copyText(m_window, L"earlier"));
    ClipboardHolder holder(100);
    ASSERT_TRUE(holder.waitUntilOpened());

    EXPECT_TRUE(copyText(m_window, L"37 "));
    EXPECT_EQ(clipboardText(), L"37 ");
}

TEST_F(ClipboardTest, GivesUpWhenAnotherProgramKeepsTheClipboardOpen)
{
    ASSERT_TRUE(copyText(m_window, L"earlier"));
    std::optional<ClipboardHolder> holder(std::in_place, INFINITE);
    ASSERT_TRUE(holder->waitUntilOpened());

    EXPECT_FALSE(copyText(m_window, L"37 "));
    holder.reset();
    EXPECT_EQ(clipboardText(), L"earlier");
}

} // namespace
