#include "output/win32/savefile.h"

#include "output/savetexts.h"
#include "output/win32/widetext.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <optional>
#include <utility>

namespace corvanel::output {
namespace {

bool isHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The length in code units of the character at text[index]: 2 for a surrogate pair, else 1.
std::size_t characterLength(std::wstring_view text, std::size_t index)
{
    return isHighSurrogate(text[index]) && index + 1 < text.size() &&
                   isLowSurrogate(text[index + 1])
               ? 2
               : 1;
}

bool isLoneSurrogate(std::wstring_view text, std::size_t index)
{
    return (isHighSurrogate(text[index]) || isLowSurrogate(text[index])) &&
           characterLength(text, index) == 1;
}

UINT actualCodePage(UINT codePage)
{
    switch (codePage) {
    case CP_ACP:
        return GetACP();
    case CP_OEMCP:
        return GetOEMCP();
    default:
        return codePage;
    }
}

// The pages whose conversion accepts no flags and reports no default character (the stateful
// ISO-2022 and ISCII pages, UTF-7, Symbol): on them a missing character cannot be told from a
// "?" of the text, so the program does not write them.
bool reportsNoMissingCharacters(UINT codePage)
{
    switch (codePage) {
    case 42:
    case 50220:
    case 50221:
    case 50222:
    case 50225:
    case 50227:
    case 50229:
    case 65000:
        return true;
    default:
        return codePage >= 57002 && codePage <= 57011;
    }
}

// The name the user knows a code page by, for messages. Pages without a common name of their
// own are "代码页 N", as Windows' own Chinese texts call them.
std::wstring codePageName(UINT codePage)
{
    switch (codePage) {
    case 932:
        return L"Shift_JIS";
    case 936:
        return L"GBK";
    case 949:
        return L"UHC";
    case 950:
        return L"Big5";
    case 54936:
        return L"GB18030";
    case CP_UTF8:
        return L"UTF-8";
    default:
        if (codePage == 874 || (codePage >= 1250 && codePage <= 1258)) {
            return L"Windows-" + std::to_wstring(codePage);
        }
        return L"代码页 " + std::to_wstring(codePage);
    }
}

enum class Conversion { done, unrepresentable, failed };

// text in codePage, or whether a character of it has no equivalent there. The Unicode pages
// (UTF-8, GB18030) hold every character: only half of a surrogate pair fails them, which
// WC_ERR_INVALID_CHARS reports (they take no other flag and no lpUsedDefaultChar). The others
// put their default character in place of a missing one and set usedDefault;
// WC_NO_BEST_FIT_CHARS makes a look-alike ("a" for "ā") count as missing too.
Conversion convert(UINT codePage, std::wstring_view text, std::string &bytes)
{
    bytes.clear();
    if (text.empty()) {
        return Conversion::done;
    }
    if (text.size() > std::size_t(INT_MAX)) {
        return Conversion::failed;
    }
    const bool unicodePage = codePage == CP_UTF8 || codePage == 54936;
    const DWORD flags = unicodePage ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL *const usedDefaultOut = unicodePage ? nullptr : &usedDefault;
    const int size = WideCharToMultiByte(codePage, flags, text.data(), int(text.size()), nullptr, 0,
                                         nullptr, usedDefaultOut);
    if (size > 0) {
        bytes.resize(std::size_t(size));
        if (WideCharToMultiByte(codePage, flags, text.data(), int(text.size()), bytes.data(), size,
                                nullptr, usedDefaultOut) == size) {
            return usedDefault ? Conversion::unrepresentable : Conversion::done;
        }
    }
    return GetLastError() == ERROR_NO_UNICODE_TRANSLATION ? Conversion::unrepresentable
                                                          : Conversion::failed;
}

struct Encoded {
    std::optional<std::string> bytes;
    std::wstring errorText; // when there are no bytes
};

Encoded encode(std::wstring_view text, UINT codePage)
{
    const std::wstring name = codePageName(codePage);
    if (!IsValidCodePage(codePage)) {
        return {std::nullopt, wideText(unknownEncodingText(utf16Text(name)))};
    }
    if (reportsNoMissingCharacters(codePage)) {
        return {std::nullopt, wideText(cannotConvertText(utf16Text(name)))};
    }
    std::string bytes;
    const Conversion whole = convert(codePage, text, bytes);
    if (whole == Conversion::failed) {
        return {std::nullopt, wideText(cannotConvertText(utf16Text(name)))};
    }
    // Half of a surrogate pair is refused in every page, whatever the conversion made of it.
    bool loneSurrogate = false;
    for (std::size_t index = 0; index < text.size() && !loneSurrogate;
         index += characterLength(text, index)) {
        loneSurrogate = isLoneSurrogate(text, index);
    }
    if (whole == Conversion::done && !loneSurrogate) {
        return {std::move(bytes), {}};
    }
    // Only when the text is refused: the first character that is refused on its own.
    std::string scratch;
    for (std::size_t index = 0; index < text.size();) {
        const std::size_t length = characterLength(text, index);
        if (isLoneSurrogate(text, index) ||
            convert(codePage, text.substr(index, length), scratch) != Conversion::done) {
            return {std::nullopt, wideText(unrepresentableCharacterText(utf16Text(text), index,
                                                                        utf16Text(name)))};
        }
        index += length;
    }
    return {std::nullopt, wideText(cannotConvertText(utf16Text(name)))};
}

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle() { close(); }
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;

    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }
    bool close()
    {
        return !valid() || CloseHandle(std::exchange(m_handle, INVALID_HANDLE_VALUE)) != 0;
    }

private:
    HANDLE m_handle;
};

// A file of this save beside the target, removed again unless kept.
class ScratchFile {
public:
    ScratchFile() = default;
    ~ScratchFile()
    {
        if (!m_path.empty()) {
            DeleteFileW(m_path.c_str());
        }
    }
    ScratchFile(const ScratchFile &) = delete;
    ScratchFile &operator=(const ScratchFile &) = delete;

    void take(std::wstring path) { m_path = std::move(path); }
    const std::wstring &path() const { return m_path; }
    void keep() { m_path.clear(); }

private:
    std::wstring m_path;
};

// The target's folder with its trailing separator ("C:\Users\me\Desktop\", "C:", ""), so
// that a name appended to it lies beside the target.
std::wstring folderOf(const std::wstring &path)
{
    const std::size_t end = path.find_last_of(L"\\/:");
    return end == std::wstring::npos ? std::wstring() : path.substr(0, end + 1);
}

std::wstring hex(unsigned long long value)
{
    std::wstring digits;
    do {
        digits.insert(digits.begin(), L"0123456789abcdef"[value % 16]);
        value /= 16;
    } while (value != 0);
    return digits;
}

// A name in folder that no file of this process has used, "~corvanel-<process>-<n>.tmp";
// whether another file has it is up to the caller to find out.
std::wstring scratchName(const std::wstring &folder, std::wstring_view extension)
{
    static std::atomic<unsigned long long> counter{0};
    return folder + L"~corvanel-" + hex(GetCurrentProcessId()) + L"-" + hex(++counter) +
           std::wstring(extension);
}

bool writeAll(HANDLE file, const std::string &bytes)
{
    constexpr std::size_t chunk = 1u << 30;
    for (std::size_t done = 0; done < bytes.size();) {
        const DWORD size = DWORD(std::min(chunk, bytes.size() - done));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, size, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

bool exists(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Puts the written file at replacement in target's place. The earlier file goes to a backup
// name first and is deleted only once the new one is in place: without a backup, ReplaceFileW
// may fail with the earlier file already gone (ERROR_UNABLE_TO_MOVE_REPLACEMENT).
bool replace(const std::wstring &target, const std::wstring &replacement)
{
    std::wstring backup;
    do {
        backup = scratchName(folderOf(target), L".bak");
    } while (exists(backup));
    if (ReplaceFileW(target.c_str(), replacement.c_str(), backup.c_str(), 0, nullptr, nullptr)) {
        DeleteFileW(backup.c_str());
        return true;
    }
    if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        // The earlier file is under the backup name, the target name is free.
        MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    }
    return false;
}

} // namespace

SaveResult saveText(const std::wstring &path, std::wstring_view text, UINT codePage)
{
    const Encoded encoded = encode(text, actualCodePage(codePage));
    if (!encoded.bytes) {
        return {false, encoded.errorText};
    }
    const std::wstring cannotCreate = wideText(cannotCreateFileText(utf16Text(path)));
    const std::wstring cannotWrite = wideText(cannotWriteFileText(utf16Text(path)));

    // A folder or a read-only file of that name cannot be replaced by a file.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (path.empty() || (attributes != INVALID_FILE_ATTRIBUTES &&
                         (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))) {
        return {false, cannotCreate};
    }

    // Declared before the handle, so that the handle is closed before the file is removed.
    ScratchFile scratch;
    std::optional<FileHandle> file;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        std::wstring name = scratchName(folderOf(path), L".tmp");
        const HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            file.emplace(handle);
            scratch.take(std::move(name));
        } else if (const DWORD error = GetLastError();
                   error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            return {false, cannotCreate};
        }
    }
    if (!file) {
        return {false, cannotCreate};
    }

    if (!writeAll(file->get(), *encoded.bytes) || !FlushFileBuffers(file->get()) ||
        !file->close()) {
        return {false, cannotWrite};
    }
    const bool placed = exists(path) ? replace(path, scratch.path())
                                     : MoveFileExW(scratch.path().c_str(), path.c_str(),
                                                   MOVEFILE_WRITE_THROUGH) != 0;
    if (!placed) {
        return {false, cannotWrite};
    }
    scratch.keep();
    return {true, {}};
}

} // namespace corvanel::output
