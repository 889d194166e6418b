// Another program that holds a file open: opens PATH with no sharing at all (share mode 0), so
// that no other program can open, replace or delete it, prints "held" and keeps it until it is
// ended, or at most SECONDS.
//
//   corvanel_holdopen PATH SECONDS

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

void write(HANDLE out, const std::string &text)
{
    DWORD written = 0;
    WriteFile(out, text.data(), DWORD(text.size()), &written, nullptr);
}

} // namespace

int wmain(int argc, wchar_t *argv[])
{
    if (argc != 3) {
        write(GetStdHandle(STD_ERROR_HANDLE), "usage: corvanel_holdopen PATH SECONDS\n");
        return 2;
    }
    const HANDLE file = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        write(GetStdHandle(STD_ERROR_HANDLE), "corvanel_holdopen: cannot open the file, error " +
                                                  std::to_string(GetLastError()) + "\n");
        return 1;
    }
    write(GetStdHandle(STD_OUTPUT_HANDLE), "held\n");
    Sleep(DWORD(_wtoi(argv[2])) * 1000);
    CloseHandle(file);
    return 0;
}
