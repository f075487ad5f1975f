// Times start-up as a user sees it: from starting a program to the moment the X server maps
// its first window. Runs each program given, in turn, several times, and prints the median of
// each and its ratio to the first (the bare Qt window):
//
//     xvfb-run -a build-rel/bench/startup_probe build-rel/bench/bare_window build-rel/app/fretlyn

#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds until the program maps a window of its own; negative when it never does.
double TimeToFirstWindow(Display* display, char* program) {
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        char* args[] = {program, nullptr};
        execv(program, args);
        _exit(127);
    }
    double ms = -1;
    const auto deadline = start + std::chrono::seconds(20);
    while (ms < 0 && Clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && !event.xmap.override_redirect) {
                ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                break;
            }
        }
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        if (ms < 0) poll(&fd, 1, 50);
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    XSync(display, True);
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s bare-program program...\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display: run under xvfb-run -a\n");
        return 2;
    }
    constexpr int kRuns = 11;
    std::vector<std::vector<double>> times(static_cast<size_t>(argc - 1));
    for (int run = 0; run < kRuns; ++run)
        for (int p = 1; p < argc; ++p)
            times[static_cast<size_t>(p - 1)].push_back(TimeToFirstWindow(display, argv[p]));
    double base = 0;
    for (int p = 1; p < argc; ++p) {
        std::vector<double>& t = times[static_cast<size_t>(p - 1)];
        std::sort(t.begin(), t.end());
        const double median = t[t.size() / 2];
        if (p == 1) base = median;
        std::printf("%-45s median %7.1f ms  (%4.2f x the first)\n", argv[p], median,
                    base > 0 ? median / base : 0.0);
    }
    XCloseDisplay(display);
    return 0;
}
