// Start-up figure: how long a program takes from its process start until its window has been
// shown and painted once, and its peak resident memory, against a baseline measured in the same
// run. Both programs print "painted <CLOCK_MONOTONIC ns>" after their first paint and quit
// (startup_probe.cpp); the time is taken against the clock read just before the process is
// spawned, and the memory is the child's ru_maxrss. Runs are interleaved, alternating which
// program goes first, after warm-up runs that are not counted. The platform is whatever
// QT_QPA_PLATFORM and DISPLAY say.
//
// Usage: startup_bench LABEL RUNS BASELINE PROGRAM
// Prints one table row per figure: label, figure, baseline median, program median, ratio.

#include "bench/statistics.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

struct Sample {
    double milliseconds;
    double mebibytes;
};

long long monotonicNow()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

[[noreturn]] void fail(const std::string &what)
{
    std::fprintf(stderr, "startup_bench: %s\n", what.c_str());
    std::exit(1);
}

Sample runOnce(const char *program)
{
    int out[2];
    if (pipe(out) != 0) {
        fail(std::string("pipe: ") + std::strerror(errno));
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);

    char *argv[] = {const_cast<char *>(program), nullptr};
    pid_t pid = 0;
    const long long started = monotonicNow();
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        fail(std::string("cannot start ") + program + ": " + std::strerror(spawned));
    }

    std::string output;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno != EINTR) {
            fail(std::string("read: ") + std::strerror(errno));
        }
        if (n > 0) {
            output.append(buffer, static_cast<std::size_t>(n));
        }
    }
    close(out[0]);

    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) {
        fail(std::string("wait4: ") + std::strerror(errno));
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        fail(std::string(program) + " did not exit cleanly");
    }
    long long painted = 0;
    const std::size_t at = output.find("painted ");
    if (at == std::string::npos ||
        std::sscanf(output.c_str() + at, "painted %lld", &painted) != 1) {
        fail(std::string(program) + " reported no first paint");
    }
    return {static_cast<double>(painted - started) / 1e6,
            static_cast<double>(usage.ru_maxrss) / 1024.0};
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: startup_bench LABEL RUNS BASELINE PROGRAM\n");
        return 2;
    }
    const char *label = argv[1];
    const int runs = std::atoi(argv[2]);
    const char *baseline = argv[3];
    const char *program = argv[4];
    if (runs < 1) {
        fail("RUNS must be at least 1");
    }

    constexpr int warmUps = 2;
    for (int i = 0; i < warmUps; ++i) {
        runOnce(baseline);
        runOnce(program);
    }
    std::vector<double> baseTime, baseMemory, progTime, progMemory;
    for (int i = 0; i < runs; ++i) {
        const bool baselineFirst = i % 2 == 0;
        const Sample first = runOnce(baselineFirst ? baseline : program);
        const Sample second = runOnce(baselineFirst ? program : baseline);
        const Sample &b = baselineFirst ? first : second;
        const Sample &p = baselineFirst ? second : first;
        baseTime.push_back(b.milliseconds);
        baseMemory.push_back(b.mebibytes);
        progTime.push_back(p.milliseconds);
        progMemory.push_back(p.mebibytes);
    }

    const double bt = median(baseTime), pt = median(progTime);
    const double bm = median(baseMemory), pm = median(progMemory);
    std::printf(
        "| start-up to first paint, %s, median of %d | %.1f ms | %.1f ms | %.2fx | <= 1.10x |\n",
        label, runs, bt, pt, pt / bt);
    std::printf(
        "| peak resident memory, %s, median of %d | %.1f MiB | %.1f MiB | %.2fx | <= 1.10x |\n",
        label, runs, bm, pm, pm / bm);
    return 0;
}
