#include "output/win32/shellfolder.h"

#include "output/savetexts.h"
#include "output/win32/widetext.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace corvanel::output {
namespace {

constexpr const wchar_t *shellFoldersKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey()
    {
        if (m_key != nullptr) {
            RegCloseKey(m_key);
        }
    }
    RegistryKey(const RegistryKey &) = delete;
    RegistryKey &operator=(const RegistryKey &) = delete;

    HKEY *out() { return &m_key; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

// The text of a string value, the terminating null removed. RegGetValueW makes sure there is
// one; RRF_NOEXPAND is required with RRF_RT_REG_EXPAND_SZ (without it the call fails).
struct StringValue {
    LSTATUS status;
    DWORD type;
    std::wstring text;
};

StringValue readString(HKEY key, const std::wstring &name)
{
    constexpr DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    StringValue value{ERROR_SUCCESS, REG_NONE, {}};
    DWORD size = 0;
    // The value may grow between the calls; then ask again.
    do {
        value.text.resize(size / sizeof(wchar_t) + 1);
        size = DWORD(value.text.size() * sizeof(wchar_t));
        value.status =
            RegGetValueW(key, nullptr, name.c_str(), flags, &value.type, value.text.data(), &size);
    } while (value.status == ERROR_MORE_DATA);
    if (value.status == ERROR_SUCCESS) {
        value.text.resize(size / sizeof(wchar_t));
        while (!value.text.empty() && value.text.back() == L'\0') {
            value.text.pop_back();
        }
    }
    return value;
}

std::wstring expandEnvironment(const std::wstring &text)
{
    std::wstring expanded;
    DWORD size = 0;
    do {
        expanded.resize(std::max<std::size_t>(size, text.size() + 1));
        size = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), DWORD(expanded.size()));
        if (size == 0) {
            return {};
        }
    } while (size > expanded.size());
    expanded.resize(size - 1); // without the terminating null
    return expanded;
}

} // namespace

ShellFolderResult shellFolder(std::wstring_view name)
{
    RegistryKey key;
    // Read access is all a reader needs; asking for more could fail where reading would not.
    if (RegOpenKeyExW(HKEY_CURRENT_USER, shellFoldersKey, 0, KEY_QUERY_VALUE, key.out()) !=
        ERROR_SUCCESS) {
        return {true, {}, {}};
    }
    const StringValue value = readString(key.get(), std::wstring(name));
    if (value.status == ERROR_UNSUPPORTED_TYPE) {
        return {false, {}, wideText(invalidValueTypeText(utf16Text(name)))};
    }
    if (value.status != ERROR_SUCCESS) {
        return {true, {}, {}}; // no such value, or one that cannot be read
    }
    if (value.type == REG_EXPAND_SZ) {
        return {true, expandEnvironment(value.text), {}};
    }
    return {true, value.text, {}};
}

} // namespace corvanel::output
