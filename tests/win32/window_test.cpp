#include "windowdriver.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using namespace wintest;

namespace {

int scaled(int value96)
{
    return MulDiv(value96, int(expectedDpi()), 96);
}

// A control's place in its window's client coordinates.
RECT placeOf(HWND control)
{
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT *>(&r), 2);
    return r;
}

// The size text takes in control's own font, on one line or wrapped at width.
SIZE textSize(HWND control, const std::wstring &text, int wrapWidth = 0)
{
    HDC dc = GetDC(control);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT r{0, 0, wrapWidth, 0};
    const UINT format = DT_CALCRECT | DT_NOPREFIX | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE);
    DrawTextW(dc, text.c_str(), int(text.size()), &r, format);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {r.right - r.left, r.bottom - r.top};
}

std::pair<DWORD, DWORD> selectionOf(HWND edit)
{
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

std::wstring selectedText(HWND edit)
{
    const auto [start, end] = selectionOf(edit);
    return textOf(edit).substr(start, end - start);
}

// The pixels of control's client area as they are on the screen.
std::vector<std::uint32_t> screenPixels(HWND control)
{
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    RECT client{};
    GetClientRect(control, &client);
    POINT origin{0, 0};
    ClientToScreen(control, &origin);
    const int width = client.right;
    const int height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    const auto *first = static_cast<const std::uint32_t *>(bits);
    std::vector<std::uint32_t> pixels(first, first + std::size_t(width) * std::size_t(height));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<INPUT> repeated(const std::vector<INPUT> &events, int times)
{
    std::vector<INPUT> all;
    for (int i = 0; i < times; ++i) {
        all.insert(all.end(), events.begin(), events.end());
    }
    return all;
}

} // namespace

// ---- Layout --------------------------------------------------------------------------------

struct Place {
    const char *name;
    HWND WindowTest::*control;
    const wchar_t *kind;
    RECT place96; // left, top, right, bottom at 96 DPI
    const wchar_t *text;
    const wchar_t *sample; // what an edit must show whole; empty for the others
};

class Layout : public WindowTest, public ::testing::WithParamInterface<Place> {};

TEST_P(Layout, EveryControlAtItsPlaceWithItsTextWhole)
{
    const Place &p = GetParam();
    HWND control = this->*p.control;
    ASSERT_EQ(GetDpiForWindow(frmmain), expectedDpi());
    EXPECT_EQ(lstrcmpiW(className(control).c_str(), p.kind), 0) << className(control);
    EXPECT_EQ(textOf(control), p.text);

    const RECT r = placeOf(control);
    const int height = r.bottom - r.top;
    const bool isLabel = std::wstring_view(p.kind) == L"Static";
    EXPECT_EQ(r.left, scaled(p.place96.left));
    EXPECT_EQ(r.top, scaled(p.place96.top));
    EXPECT_EQ(r.right - r.left, scaled(p.place96.right - p.place96.left));
    if (isLabel) {
        EXPECT_GE(height, scaled(p.place96.bottom - p.place96.top));
    } else {
        EXPECT_EQ(height, scaled(p.place96.bottom - p.place96.top));
    }

    // The window's one font, the system's message font at the window's DPI.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                           expectedDpi()));
    LOGFONTW font{};
    ASSERT_NE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
                         sizeof font, &font),
              0);
    EXPECT_EQ(font.lfHeight, metrics.lfMessageFont.lfHeight);
    EXPECT_STREQ(font.lfFaceName, metrics.lfMessageFont.lfFaceName);

    // No text cut off: a caption on one line inside its label, a button's text inside its
    // borders, a line of an edit's text inside its client area.
    RECT client{};
    GetClientRect(control, &client);
    const std::wstring shown = isLabel || className(control) == L"Button" ? p.text : p.sample;
    if (!shown.empty()) {
        const SIZE one = textSize(control, shown);
        const SIZE wrapped = textSize(control, shown, client.right);
        const int margin = className(control) == L"Button" ? scaled(4) : 0;
        EXPECT_LE(one.cx + 2 * margin, client.right) << "text " << one.cx << " wide";
        EXPECT_LE(wrapped.cy + margin, client.bottom) << "text " << wrapped.cy << " high";
    }

    // Resizing the window moves nothing.
    RECT frame{};
    GetWindowRect(frmmain, &frame);
    SetWindowPos(frmmain, nullptr, 0, 0, frame.right - frame.left + scaled(200),
                 frame.bottom - frame.top + scaled(150), SWP_NOMOVE | SWP_NOZORDER);
    const RECT after = placeOf(control);
    EXPECT_TRUE(EqualRect(&after, &r));
}

// Each label ends above the control it names, so nothing is drawn over its text.
TEST_F(WindowTest, LabelsEndAboveTheirControls)
{
    for (auto [label, named] :
         {std::pair{lbljushu, memcode}, std::pair{lblkj, edtcode}, std::pair{Label2, edtdj}}) {
        EXPECT_LE(placeOf(label).bottom, placeOf(named).top) << textOf(label);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Window, Layout,
    ::testing::Values(
        Place{"lbljushu", &WindowTest::lbljushu, L"Static", {16, 8, 153, 21}, L"缩水结果：", L""},
        Place{"memcode", &WindowTest::memcode, L"Edit", {16, 24, 265, 345}, L"", L"00 01 02 "},
        Place{"lblkj", &WindowTest::lblkj, L"Static", {300, 176, 373, 189}, L"上期开奖：", L""},
        Place{"Label2", &WindowTest::Label2, L"Static", {408, 176, 441, 189}, L"对奖", L""},
        Place{"edtcode", &WindowTest::edtcode, L"Edit", {300, 192, 373, 213}, L"", L"00"},
        Place{"edtdj", &WindowTest::edtdj, L"Edit", {404, 192, 445, 213}, L"", L"中"},
        Place{"btnfilt", &WindowTest::btnfilt, L"Button", {296, 256, 371, 281}, L"过滤", L""},
        Place{"btnsave", &WindowTest::btnsave, L"Button", {392, 256, 467, 281}, L"保存", L""},
        Place{"btncopy", &WindowTest::btncopy, L"Button", {296, 296, 371, 321}, L"复制", L""},
        Place{"btnclose", &WindowTest::btnclose, L"Button", {392, 296, 467, 321}, L"退出", L""},
        Place{"edtcopy", &WindowTest::edtcopy, L"Edit", {394, 24, 467, 45}, L"", L""}),
    [](const ::testing::TestParamInfo<Place> &info) { return std::string(info.param.name); });

TEST_F(WindowTest, WindowOpensCentredAtItsSize)
{
    ASSERT_EQ(GetDpiForWindow(frmmain), expectedDpi());
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetWindowDpiAwarenessContext(frmmain)),
              DPI_AWARENESS_PER_MONITOR_AWARE);
    EXPECT_EQ(textOf(frmmain), L"Corvanel");
    RECT client{};
    GetClientRect(frmmain, &client);
    EXPECT_EQ(client.right, scaled(491));
    EXPECT_EQ(client.bottom, scaled(348));

    RECT frame{};
    GetWindowRect(frmmain, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(frmmain, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT &work = monitor.rcWork;
    EXPECT_LE(std::abs((frame.left + frame.right) - (work.left + work.right)), 1);
    EXPECT_LE(std::abs((frame.top + frame.bottom) - (work.top + work.bottom)), 1);

    // The initial state: everything empty but the captions, edtcopy never shown.
    EXPECT_EQ(focus(), edtcode);
    EXPECT_EQ(textOf(memcode), L"");
    EXPECT_EQ(textOf(edtdj), L"");
    EXPECT_FALSE(IsWindowVisible(edtcopy));
    EXPECT_EQ(GetWindowLongW(memcode, GWL_STYLE) & ES_READONLY, 0);
}

// Moved to a monitor of another DPI, Windows sends WM_DPICHANGED with the new DPI and the
// window's suggested rectangle there: every control takes its place at the new DPI, in the
// message font for that DPI, and the window takes the suggested rectangle.
TEST_F(WindowTest, NewMonitorDpiLaysTheWindowOutAgain)
{
    ASSERT_EQ(GetDpiForWindow(frmmain), expectedDpi());
    for (const UINT dpi : {expectedDpi() == 96 ? 144u : 96u, expectedDpi()}) {
        RECT frame{};
        GetWindowRect(frmmain, &frame);
        RECT suggested{frame.left, frame.top, frame.left + MulDiv(507, int(dpi), 96),
                       frame.top + MulDiv(386, int(dpi), 96)};
        SendMessageW(frmmain, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));

        RECT now{};
        GetWindowRect(frmmain, &now);
        EXPECT_TRUE(EqualRect(&now, &suggested)) << "at " << dpi << " DPI";
        const RECT edit = placeOf(edtcode);
        EXPECT_EQ(edit.left, MulDiv(300, int(dpi), 96)) << "at " << dpi << " DPI";
        EXPECT_EQ(edit.top, MulDiv(192, int(dpi), 96)) << "at " << dpi << " DPI";
        EXPECT_EQ(edit.bottom - edit.top, MulDiv(21, int(dpi), 96)) << "at " << dpi << " DPI";
        const RECT button = placeOf(btnclose);
        EXPECT_EQ(button.right, MulDiv(392 + 75, int(dpi), 96)) << "at " << dpi << " DPI";
        EXPECT_EQ(button.bottom, MulDiv(296 + 25, int(dpi), 96)) << "at " << dpi << " DPI";

        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        ASSERT_TRUE(
            SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi));
        for (HWND control : {memcode, edtcode, btnfilt, lbljushu}) {
            LOGFONTW font{};
            ASSERT_NE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
                                 sizeof font, &font),
                      0);
            EXPECT_EQ(font.lfHeight, metrics.lfMessageFont.lfHeight) << "at " << dpi << " DPI";
        }
    }
}

// ---- Keyboard ------------------------------------------------------------------------------

// What Enter clicked, seen by its effect: 过滤 fills the memo, 复制 replaces the clipboard,
// 保存 opens the dialog, 退出 ends the window.
enum class Clicked { None, Filter, Copy, Save, Close };

struct EnterCase {
    const char *name;
    int tabs; // Tab presses from edtcode to the focused control
    std::vector<WORD> modifiers;
    bool keypad; // the keypad's Enter, an extended key
    Clicked clicked;
    const wchar_t *memo; // when nothing was clicked
};

class EnterKey : public WindowTest, public ::testing::WithParamInterface<EnterCase> {};

TEST_P(EnterKey, ClicksWhatTheFocusedControlLeavesIt)
{
    const EnterCase &c = GetParam();
    ASSERT_TRUE(setClipboardText(L"held before"));
    ASSERT_TRUE(type(*window, L"37"));
    ASSERT_TRUE(send(*window, repeated(chord(VK_TAB), c.tabs)));
    ModalWatch watch(frmmain, {typeThenCancel(L"")});

    const std::vector<INPUT> enter = chord(VK_RETURN, c.modifiers, c.keypad);
    if (c.clicked == Clicked::Close) {
        ASSERT_TRUE(post(enter));
        ASSERT_TRUE(waitFor([] { return quitCode().has_value(); }));
    } else {
        ASSERT_TRUE(send(*window, enter));
    }

    EXPECT_FALSE(watch.stuck);
    EXPECT_TRUE(watch.boxes.empty());
    EXPECT_EQ(!IsWindow(frmmain), c.clicked == Clicked::Close);
    EXPECT_EQ(watch.dialogs.size(), c.clicked == Clicked::Save ? 1U : 0U);
    EXPECT_EQ(clipboardText() != L"held before", c.clicked == Clicked::Copy);
    if (c.clicked == Clicked::Close) {
        EXPECT_EQ(quitCode(), 0);
    } else if (c.clicked == Clicked::Filter) {
        EXPECT_EQ(textOf(memcode), resultFor(3, 7));
        EXPECT_EQ(textOf(edtcode), L"");
    } else {
        EXPECT_EQ(textOf(memcode), c.memo);
        EXPECT_EQ(textOf(edtcode), L"37");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Window, EnterKey,
    ::testing::Values(EnterCase{"entry", 0, {}, false, Clicked::Filter, L""},
                      EnterCase{"entry_keypad", 0, {}, true, Clicked::Filter, L""},
                      EnterCase{"entry_shift", 0, {VK_SHIFT}, false, Clicked::None, L""},
                      EnterCase{"entry_ctrl", 0, {VK_CONTROL}, false, Clicked::None, L""},
                      EnterCase{"entry_alt", 0, {VK_MENU}, false, Clicked::None, L""},
                      EnterCase{"memo", 1, {}, false, Clicked::None, L"\r\n"},
                      EnterCase{"memo_keypad", 1, {}, true, Clicked::None, L"\r\n"},
                      EnterCase{"filter_button", 2, {}, false, Clicked::Filter, L""},
                      EnterCase{"copy_button", 3, {}, false, Clicked::Copy, L""},
                      EnterCase{"close_button", 4, {}, true, Clicked::Close, L""},
                      EnterCase{"verdict_box", 5, {}, false, Clicked::Filter, L""},
                      EnterCase{"save_button", 6, {}, false, Clicked::Save, L""}),
    [](const ::testing::TestParamInfo<EnterCase> &info) { return std::string(info.param.name); });

class EscapeKey : public WindowTest, public ::testing::WithParamInterface<int> {};

// Escape in any control leaves the window and everything in it as it was.
TEST_P(EscapeKey, DoesNothing)
{
    reduce(L"37");
    ASSERT_TRUE(type(*window, L"4"));
    ASSERT_TRUE(send(*window, repeated(chord(VK_TAB), GetParam())));
    HWND focused = focus();
    ModalWatch watch(frmmain);

    ASSERT_TRUE(press(*window, VK_ESCAPE));

    EXPECT_TRUE(watch.boxes.empty());
    EXPECT_TRUE(IsWindow(frmmain));
    EXPECT_TRUE(IsWindowVisible(frmmain));
    EXPECT_FALSE(quitCode().has_value());
    EXPECT_EQ(focus(), focused);
    EXPECT_EQ(textOf(memcode), resultFor(3, 7));
    EXPECT_EQ(textOf(edtcode), L"4");
}

// From edtcode, memcode, btnfilt and edtdj.
INSTANTIATE_TEST_SUITE_P(Window, EscapeKey, ::testing::Values(0, 1, 2, 5));

struct TabCase {
    const char *name;
    std::vector<WORD> modifiers;
    std::vector<HWND WindowTest::*> visited;
};

class TabOrder : public WindowTest, public ::testing::WithParamInterface<TabCase> {};

TEST_P(TabOrder, VisitsEveryControlOnceAndTheMemoPassesItOn)
{
    const TabCase &c = GetParam();
    std::vector<HWND> expected;
    for (HWND WindowTest::*control : c.visited) {
        expected.push_back(this->*control);
    }
    std::vector<HWND> seen;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_TRUE(press(*window, VK_TAB, c.modifiers));
        seen.push_back(focus());
    }
    EXPECT_EQ(seen, expected);
    // The memo took no Tab as text.
    EXPECT_EQ(textOf(memcode), L"");
}

INSTANTIATE_TEST_SUITE_P(
    Window, TabOrder,
    ::testing::Values(TabCase{"forward",
                              {},
                              {&WindowTest::memcode, &WindowTest::btnfilt, &WindowTest::btncopy,
                               &WindowTest::btnclose, &WindowTest::edtdj, &WindowTest::btnsave,
                               &WindowTest::edtcode}},
                      TabCase{"backward",
                              {VK_SHIFT},
                              {&WindowTest::btnsave, &WindowTest::edtdj, &WindowTest::btnclose,
                               &WindowTest::btncopy, &WindowTest::btnfilt, &WindowTest::memcode,
                               &WindowTest::edtcode}}),
    [](const ::testing::TestParamInfo<TabCase> &info) { return std::string(info.param.name); });

TEST_F(WindowTest, EntrySelectsAllWhenTabbedInto)
{
    ASSERT_TRUE(type(*window, L"37"));
    EXPECT_EQ(selectionOf(edtcode), std::pair(DWORD(2), DWORD(2)));
    ASSERT_TRUE(press(*window, VK_TAB));
    ASSERT_EQ(focus(), memcode);
    ASSERT_TRUE(press(*window, VK_TAB, {VK_SHIFT}));
    ASSERT_EQ(focus(), edtcode);
    EXPECT_EQ(selectionOf(edtcode), std::pair(DWORD(0), DWORD(2)));
}

// ---- Reduction and prompt ------------------------------------------------------------------

TEST_F(WindowTest, ReductionShowsResult)
{
    ModalWatch watch(frmmain);
    reduce(L"37");

    EXPECT_TRUE(watch.boxes.empty());
    EXPECT_EQ(textOf(memcode), resultFor(3, 7));
    EXPECT_EQ(textOf(memcode).size(), 225U);
    EXPECT_EQ(textOf(lbljushu), L"缩水结果：75注");
    EXPECT_EQ(textOf(lblkj), L"上期：37");
    EXPECT_EQ(textOf(edtcode), L"");
    EXPECT_EQ(focus(), edtcode);
    EXPECT_EQ(textOf(edtdj), L"");
    // The one-line result wraps at the memo's width, which never scrolls sideways.
    EXPECT_GT(SendMessageW(memcode, EM_GETLINECOUNT, 0, 0), 1);
    EXPECT_EQ(GetWindowLongW(memcode, GWL_STYLE) & WS_HSCROLL, 0);

    // A second reduction replaces what the memo held, notes typed by hand included.
    ASSERT_TRUE(press(*window, VK_TAB));
    ASSERT_TRUE(type(*window, L"notes"));
    ASSERT_TRUE(press(*window, VK_TAB, {VK_SHIFT}));
    reduce(L"00");
    EXPECT_EQ(textOf(memcode), resultFor(0, 0));
    EXPECT_EQ(textOf(lblkj), L"上期：00");
}

struct BadEntry {
    const char *name;
    const wchar_t *entry;
    bool byMouse; // 过滤 clicked instead of Enter
};

class Prompt : public WindowTest, public ::testing::WithParamInterface<BadEntry> {};

TEST_P(Prompt, BadEntryPromptsAndKeepsTheResult)
{
    const BadEntry &c = GetParam();
    reduce(L"00");
    ASSERT_TRUE(type(*window, c.entry));
    ASSERT_EQ(textOf(edtcode), c.entry);
    const std::wstring verdict = textOf(edtdj);
    ModalWatch watch(frmmain);
    // The entry as it stands while the prompt is up.
    watch.note = [this] {
        return textOf(edtcode);
    };

    if (c.byMouse) {
        ASSERT_TRUE(click(*window, btnfilt));
    } else {
        ASSERT_TRUE(press(*window, VK_RETURN));
    }
    ASSERT_TRUE(waitFor([this] { return focus() == edtcode; }));

    EXPECT_FALSE(watch.stuck);
    ASSERT_EQ(watch.boxes.size(), 1U);
    const BoxSeen &box = watch.boxes.front();
    EXPECT_EQ(box.title, L"Corvanel");
    EXPECT_EQ(box.text, L"请输入2位数上期开奖号码");
    EXPECT_FALSE(box.icon);
    EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"确定"});
    EXPECT_EQ(box.note, c.entry); // emptied only once the prompt was dismissed

    EXPECT_EQ(textOf(edtcode), L"");
    EXPECT_EQ(textOf(memcode), resultFor(0, 0));
    EXPECT_EQ(textOf(lbljushu), L"缩水结果：75注");
    EXPECT_EQ(textOf(lblkj), L"上期：00");
    EXPECT_EQ(textOf(edtdj), verdict);
}

INSTANTIATE_TEST_SUITE_P(
    Window, Prompt,
    ::testing::Values(BadEntry{"empty", L"", false}, BadEntry{"empty_clicked", L"", true},
                      BadEntry{"one_digit", L"3", false}, BadEntry{"three_digits", L"377", false},
                      BadEntry{"letter_and_digit", L"a7", false},
                      BadEntry{"digit_and_blank", L"3 ", false},
                      BadEntry{"blank_and_digit", L" 7", false},
                      BadEntry{"minus_sign", L"-7", false}, BadEntry{"plus_sign", L"+7", true},
                      BadEntry{"full_width_digits", L"３７", false}),
    [](const ::testing::TestParamInfo<BadEntry> &info) { return std::string(info.param.name); });

// ---- Draw check ----------------------------------------------------------------------------

struct DrawCase {
    const char *name;
    const wchar_t *keys; // typed after the reduction for 37; '\b' is Backspace
    const wchar_t *verdict;
    const wchar_t *marked;
};

class DrawCheck : public WindowTest, public ::testing::WithParamInterface<DrawCase> {};

TEST_P(DrawCheck, ShowsVerdictAndMarksHit)
{
    const DrawCase &c = GetParam();
    reduce(L"37");
    for (const wchar_t *k = c.keys; *k != L'\0'; ++k) {
        if (*k == L'\b') {
            ASSERT_TRUE(press(*window, VK_BACK));
        } else {
            ASSERT_TRUE(type(*window, std::wstring(1, *k)));
        }
    }
    EXPECT_EQ(textOf(edtdj), c.verdict);
    EXPECT_EQ(selectedText(memcode), c.marked);
    EXPECT_EQ(focus(), edtcode);
    EXPECT_EQ(textOf(memcode), resultFor(3, 7));
}

INSTANTIATE_TEST_SUITE_P(
    Window, DrawCheck,
    ::testing::Values(DrawCase{"hit", L"45", L"中", L"45 "},
                      DrawCase{"hit_on_units_digit", L"55", L"中", L"55 "},
                      DrawCase{"hit_first_entry", L"00", L"中", L"00 "},
                      DrawCase{"miss", L"52", L"X", L""},
                      DrawCase{"digit_and_blank_match_as_text", L"1 ", L"中", L"1 0"},
                      DrawCase{"miss_keeps_last_mark", L"45\b\b52", L"X", L"45 "},
                      DrawCase{"one_character_changes_nothing", L"45\b", L"中", L"45 "},
                      DrawCase{"three_characters_change_nothing", L"455", L"中", L"45 "}),
    [](const ::testing::TestParamInfo<DrawCase> &info) { return std::string(info.param.name); });

struct BreakCase {
    const char *name;
    int right;            // Right presses from the memo's start before typing
    const wchar_t *typed; // '\n' is Enter
};

class HitAfterBreaks : public WindowTest, public ::testing::WithParamInterface<BreakCase> {};

// Line breaks typed into the memo count in the hit's place, two characters each.
TEST_P(HitAfterBreaks, MarksTheMatchWhereItIs)
{
    const BreakCase &c = GetParam();
    reduce(L"37");
    ASSERT_TRUE(press(*window, VK_TAB));
    ASSERT_EQ(focus(), memcode);
    ASSERT_TRUE(press(*window, VK_HOME, {VK_CONTROL}, true));
    ASSERT_TRUE(send(*window, repeated(chord(VK_RIGHT, {}, true), c.right)));
    for (const wchar_t *k = c.typed; *k != L'\0'; ++k) {
        if (*k == L'\n') {
            ASSERT_TRUE(press(*window, VK_RETURN));
        } else {
            ASSERT_TRUE(type(*window, std::wstring(1, *k)));
        }
    }
    std::wstring inserted(c.typed);
    for (std::size_t at = inserted.find(L'\n'); at != std::wstring::npos;
         at = inserted.find(L'\n', at + 2)) {
        inserted.replace(at, 1, L"\r\n");
    }
    const std::wstring memo = resultFor(3, 7).insert(std::size_t(c.right), inserted);
    ASSERT_EQ(textOf(memcode), memo);

    ASSERT_TRUE(press(*window, VK_TAB, {VK_SHIFT}));
    ASSERT_EQ(focus(), edtcode);
    ASSERT_TRUE(type(*window, L"45"));
    EXPECT_EQ(textOf(edtdj), L"中");
    const DWORD at = DWORD(memo.find(L"45 "));
    EXPECT_EQ(selectionOf(memcode), std::pair(at, at + 3));
    EXPECT_EQ(selectedText(memcode), L"45 ");
}

INSTANTIATE_TEST_SUITE_P(Window, HitAfterBreaks,
                         ::testing::Values(BreakCase{"one_break", 0, L"\n"},
                                           BreakCase{"three_breaks", 0, L"\n\n\n"},
                                           BreakCase{"a_note_line", 0, L"备注\n"},
                                           BreakCase{"breaks_between_entries", 6, L"\n\n"}),
                         [](const ::testing::TestParamInfo<BreakCase> &info) {
                             return std::string(info.param.name);
                         });

// The hit's mark shows in the memo while the focus stays in edtcode.
TEST_F(WindowTest, HitMarkShowsWhileEntryHasFocus)
{
    reduce(L"37");
    ASSERT_EQ(selectionOf(memcode).first, selectionOf(memcode).second);
    const std::vector<std::uint32_t> before = screenPixels(memcode);

    ASSERT_TRUE(type(*window, L"45"));
    ASSERT_EQ(selectedText(memcode), L"45 ");
    ASSERT_EQ(focus(), edtcode);
    const std::vector<std::uint32_t> after = screenPixels(memcode);

    ASSERT_EQ(before.size(), after.size());
    std::size_t changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        changed += before[i] != after[i] ? 1 : 0;
    }
    // The marked "45 " in the highlight: a hundred pixels and more at any font.
    EXPECT_GT(changed, 50U);
}

// ---- Mouse ---------------------------------------------------------------------------------

TEST_F(WindowTest, ClickIntoEntryEmptiesIt)
{
    reduce(L"37");
    ASSERT_TRUE(type(*window, L"45"));
    ASSERT_EQ(textOf(edtdj), L"中");

    ASSERT_TRUE(click(*window, edtcode));
    EXPECT_EQ(textOf(edtcode), L"");
    EXPECT_EQ(focus(), edtcode);
    EXPECT_EQ(textOf(edtdj), L"中"); // an empty entry on a result changes nothing

    // Blank the memo by hand: that alone runs no check.
    ASSERT_TRUE(type(*window, L"4"));
    ASSERT_TRUE(click(*window, memcode));
    ASSERT_EQ(focus(), memcode);
    ASSERT_TRUE(press(*window, 'A', {VK_CONTROL}));
    ASSERT_TRUE(press(*window, VK_DELETE, {}, true));
    ASSERT_EQ(textOf(memcode), L"");
    EXPECT_EQ(textOf(edtdj), L"中");

    // Emptying the entry by a click is a change: the check on the blank memo empties the
    // verdict.
    ASSERT_TRUE(click(*window, edtcode));
    EXPECT_EQ(focus(), edtcode);
    EXPECT_EQ(textOf(edtcode), L"");
    EXPECT_EQ(textOf(edtdj), L"");

    // A click into the empty entry sets the text it already holds: no change, no check.
    ASSERT_TRUE(click(*window, edtdj));
    ASSERT_TRUE(type(*window, L"x"));
    ASSERT_TRUE(click(*window, edtcode));
    EXPECT_EQ(textOf(edtdj), L"x");
}

TEST_F(WindowTest, DrawBeforeAnyReductionLeavesVerdictEmpty)
{
    ASSERT_TRUE(click(*window, edtdj));
    ASSERT_TRUE(type(*window, L"abc"));
    ASSERT_TRUE(click(*window, edtcode));
    ASSERT_TRUE(type(*window, L"45"));
    EXPECT_EQ(textOf(edtdj), L"");
    EXPECT_EQ(textOf(memcode), L"");
}

// ---- Paste ---------------------------------------------------------------------------------

// Far more than an edit control's default 32,767 characters arrives whole.
TEST_F(WindowTest, LongPasteArrivesWhole)
{
    std::wstring text;
    for (int i = 0; i < 200; ++i) {
        text += resultFor(i % 10, (i / 10) % 10) + L"\r\n";
    }
    ASSERT_GT(text.size(), 40000U);
    ASSERT_TRUE(setClipboardText(text));
    ASSERT_TRUE(press(*window, VK_TAB));
    ASSERT_EQ(focus(), memcode);

    ASSERT_TRUE(press(*window, 'V', {VK_CONTROL}));

    EXPECT_EQ(textOf(memcode).size(), text.size());
    EXPECT_TRUE(textOf(memcode) == text);
}

// ---- Closing -------------------------------------------------------------------------------

enum class CloseBy { QuitButton, CloseBox, AltF4 };

class Closing : public WindowTest, public ::testing::WithParamInterface<CloseBy> {};

TEST_P(Closing, EndsTheWindowAndTheLoopWithExitCodeZero)
{
    reduce(L"37");
    ModalWatch watch(frmmain);
    std::vector<INPUT> input;
    if (GetParam() == CloseBy::AltF4) {
        input = chord(VK_F4, {VK_MENU});
    } else {
        POINT at{};
        if (GetParam() == CloseBy::QuitButton) {
            RECT r{};
            GetWindowRect(btnclose, &r);
            at = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        } else {
            // The close box: the right end of the title bar, as Windows reports it.
            TITLEBARINFOEX bar{};
            bar.cbSize = sizeof bar;
            SendMessageW(frmmain, WM_GETTITLEBARINFOEX, 0, reinterpret_cast<LPARAM>(&bar));
            const RECT &box = bar.rgrect[5];
            if (IsRectEmpty(&box)) {
                // Where the message is not answered: the last button of the title bar.
                TITLEBARINFO plain{};
                plain.cbSize = sizeof plain;
                ASSERT_TRUE(GetTitleBarInfo(frmmain, &plain));
                at = {plain.rcTitleBar.right - GetSystemMetricsForDpi(SM_CXSIZE, expectedDpi()) / 2,
                      (plain.rcTitleBar.top + plain.rcTitleBar.bottom) / 2};
            } else {
                at = {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
            }
            ASSERT_EQ(SendMessageW(frmmain, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)), HTCLOSE);
        }
        input = leftClickAt(at);
    }

    ASSERT_TRUE(post(input));
    ASSERT_TRUE(waitFor([] { return quitCode().has_value(); }));

    EXPECT_EQ(quitCode(), 0);
    EXPECT_FALSE(IsWindow(frmmain));
    EXPECT_TRUE(watch.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Window, Closing,
                         ::testing::Values(CloseBy::QuitButton, CloseBy::CloseBox, CloseBy::AltF4),
                         [](const ::testing::TestParamInfo<CloseBy> &info) {
                             switch (info.param) {
                             case CloseBy::QuitButton:
                                 return std::string("quit_button");
                             case CloseBy::CloseBox:
                                 return std::string("close_box");
                             case CloseBy::AltF4:
                                 return std::string("alt_f4");
                             }
                             return std::string();
                         });
