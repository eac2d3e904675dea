#pragma once
// Running a program as a whole process, its standard output to /dev/null:
// its wall time, processor time (user + system) and peak resident memory.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

struct Run {
    double ms;
    double cpuMs;
    double peakMB;
};

inline double msOf(const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; }

inline Run run(const std::vector<std::string>& argv)
{
    std::fflush(stdout);   // else the child writes out what is buffered here a second time
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::fprintf(stderr, "%s failed\n", argv[0].c_str());
    return {ms, msOf(usage.ru_utime) + msOf(usage.ru_stime), usage.ru_maxrss / 1024.0};
}

// The best (shortest) of `times` runs; memory the largest seen.
inline Run bestOf(int times, const std::vector<std::string>& argv)
{
    Run best{1e30, 1e30, 0};
    for (int k = 0; k < times; ++k) {
        const Run r = run(argv);
        best = {std::min(best.ms, r.ms), std::min(best.cpuMs, r.cpuMs), std::max(best.peakMB, r.peakMB)};
    }
    return best;
}
