// Windows start-up figure: how long a program takes from CreateProcessW until its window is
// shown and painted, against a baseline measured in the same run. The program is first waited
// for with WaitForInputIdle (its thread has asked for a message and found none); from then on
// this polls, every millisecond, until a visible window of the process titled "Corvanel" exists
// and neither it nor any of its controls has a part left to paint (GetUpdateRect): the window's
// first WM_PAINT and its controls' have been handled. Under Wine the painted surface then still
// has to reach the X server, which is not included. The program is closed with WM_CLOSE and has
// to end with status 0. Runs are interleaved, alternating which program goes first, after
// warm-up runs that are not counted.
//
// Usage: startup_bench LABEL RUNS BASELINE PROGRAM
// Prints one table row: label, baseline median, program median, ratio.

#include "bench/statistics.h"
#include "bench/win32/clock.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

[[noreturn]] void fail(const std::wstring &what)
{
    std::fwprintf(stderr, L"startup_bench: %ls\n", what.c_str());
    std::exit(1);
}

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK findWindow(HWND window, LPARAM data)
{
    auto *search = reinterpret_cast<Search *>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t title[16] = {};
    GetWindowTextW(window, title, 16);
    if (process == search->process && IsWindowVisible(window) &&
        std::wstring(title) == L"Corvanel") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK childPainted(HWND child, LPARAM unpainted)
{
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool *>(unpainted) = true;
        return FALSE;
    }
    return TRUE;
}

// Nothing of window and its controls is left to paint.
bool painted(HWND window)
{
    bool unpainted = GetUpdateRect(window, nullptr, FALSE) != FALSE;
    if (!unpainted) {
        EnumChildWindows(window, childPainted, reinterpret_cast<LPARAM>(&unpainted));
    }
    return !unpainted;
}

// Milliseconds from CreateProcessW until program is idle with its window shown.
double runOnce(const std::wstring &program)
{
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const double started = now();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
        fail(L"cannot start " + program);
    }
    if (WaitForInputIdle(info.hProcess, 60000) != 0) {
        fail(program + L" did not become idle within 60 s");
    }
    Search search{info.dwProcessId, nullptr};
    const double deadline = now() + 60;
    for (;;) {
        search.found = nullptr;
        EnumWindows(findWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr && painted(search.found)) {
            break;
        }
        if (now() > deadline) {
            fail(program + L" showed no painted window titled Corvanel within 60 s");
        }
        Sleep(1);
    }
    const double ready = now();
    PostMessageW(search.found, WM_CLOSE, 0, 0);
    DWORD status = 1;
    if (WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(info.hProcess, &status) || status != 0) {
        fail(program + L" did not end cleanly after WM_CLOSE");
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return (ready - started) * 1000;
}

} // namespace

int wmain(int argc, wchar_t *argv[])
{
    if (argc != 5) {
        fail(L"usage: startup_bench LABEL RUNS BASELINE PROGRAM");
    }
    const std::wstring label = argv[1];
    const int runs = _wtoi(argv[2]);
    const std::wstring baseline = argv[3];
    const std::wstring program = argv[4];
    if (runs < 1) {
        fail(L"RUNS must be at least 1");
    }
    constexpr int warmUps = 2;
    for (int i = 0; i < warmUps; ++i) {
        runOnce(baseline);
        runOnce(program);
    }
    std::vector<double> baseTimes, programTimes;
    for (int i = 0; i < runs; ++i) {
        if (i % 2 == 0) {
            baseTimes.push_back(runOnce(baseline));
            programTimes.push_back(runOnce(program));
        } else {
            programTimes.push_back(runOnce(program));
            baseTimes.push_back(runOnce(baseline));
        }
    }
    const double b = median(baseTimes), p = median(programTimes);
    std::printf("| start-up to first paint, %ls, median of %d | %.1f ms | %.1f ms | "
                "%.2fx |\n",
                label.c_str(), runs, b, p, p / b);
    return 0;
}
