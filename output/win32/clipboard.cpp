#include "output/win32/clipboard.h"

#include <cstring>

namespace corvanel::output {
namespace {

// The clipboard opened by this thread for as long as the object lives.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner)
    {
        // Another program may have it open for a moment (a clipboard manager reading it).
        for (int attempt = 0; attempt < 20; ++attempt) {
            if (OpenClipboard(owner)) {
                m_open = true;
                return;
            }
            Sleep(25);
        }
    }
    ~OpenClipboardScope()
    {
        if (m_open) {
            CloseClipboard();
        }
    }
    OpenClipboardScope(const OpenClipboardScope &) = delete;
    OpenClipboardScope &operator=(const OpenClipboardScope &) = delete;

    bool open() const { return m_open; }

private:
    bool m_open = false;
};

// A global memory block, freed unless handed over to the clipboard.
class GlobalBlock {
public:
    explicit GlobalBlock(std::size_t size) : m_block(GlobalAlloc(GMEM_MOVEABLE, size)) {}
    ~GlobalBlock()
    {
        if (m_block != nullptr) {
            GlobalFree(m_block);
        }
    }
    GlobalBlock(const GlobalBlock &) = delete;
    GlobalBlock &operator=(const GlobalBlock &) = delete;

    HGLOBAL get() const { return m_block; }
    void release() { m_block = nullptr; }

private:
    HGLOBAL m_block;
};

} // namespace

bool copyText(HWND owner, std::wstring_view text)
{
    if (owner == nullptr) {
        return false;
    }
    // CF_UNICODETEXT is the text with its terminating null character.
    GlobalBlock block((text.size() + 1) * sizeof(wchar_t));
    if (block.get() == nullptr) {
        return false;
    }
    auto *const characters = static_cast<wchar_t *>(GlobalLock(block.get()));
    if (characters == nullptr) {
        return false;
    }
    if (!text.empty()) {
        std::memcpy(characters, text.data(), text.size() * sizeof(wchar_t));
    }
    characters[text.size()] = L'\0';
    GlobalUnlock(block.get());

    const OpenClipboardScope clipboard(owner);
    if (!clipboard.open() || !EmptyClipboard()) {
        return false;
    }
    if (SetClipboardData(CF_UNICODETEXT, block.get()) == nullptr) {
        return false;
    }
    block.release(); // the system owns it now
    return true;
}

} // namespace corvanel::output
