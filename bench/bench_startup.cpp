// Start-up figures: time from process start until the first window is mapped on the X server,
// for IxoMp3 and for a bare Qt 6 window measured the same way in the same run, and the
// resident memory of each once it has settled (IxoMp3 with its bar shown and idle).
//
//   bench_startup <ixomp3> <bench_bare_window> [runs]
//   bench_startup --first-window <runs> <command> [arguments...]
//       the same time to the first window for any program (used beside other players), median
//
// Run it on an X server without a window manager (e.g. Xvfb :70 & DISPLAY=:70), so that the
// map is the program's own and not a window manager's frame.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    double mapMs = 0;
    long rssKb = 0;
};

pid_t start(char* const* argv)
{
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv, environ) != 0)
        return -1;
    return child;
}

long residentKb(pid_t child)
{
    std::ifstream status("/proc/" + std::to_string(child) + "/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:" && status >> value)
            return value;
        status.ignore(4096, '\n');
    }
    return 0;
}

// Waits for the first window larger than a few pixels to be mapped on the root window.
bool waitForMap(xcb_connection_t* connection, double timeoutSeconds)
{
    const auto deadline = Clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (Clock::now() < deadline) {
        std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(
            xcb_poll_for_event(connection), &std::free);
        if (!event) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
            continue;
        const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event.get());
        std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, map->window), nullptr),
            &std::free);
        if (geometry && geometry->width > 50 && geometry->height > 50)
            return true;
    }
    return false;
}

Run measure(xcb_connection_t* connection, char* const* argv, double settleSeconds)
{
    Run run;
    const auto began = Clock::now();
    const pid_t child = start(argv);
    if (child > 0 && waitForMap(connection, 10))
        run.mapMs = std::chrono::duration<double, std::milli>(Clock::now() - began).count();
    std::this_thread::sleep_for(std::chrono::duration<double>(settleSeconds));
    run.rssKb = residentKb(child);
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    return run;
}

Run measure(xcb_connection_t* connection, const char* program, double settleSeconds)
{
    char* argv[] = {const_cast<char*>(program), nullptr};
    return measure(connection, argv, settleSeconds);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Other players take longer to start and settle; each run waits a second after its window.
int firstWindow(xcb_connection_t* connection, int runs, char* const* command)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const double ms = measure(connection, command, 1.0).mapMs;
        if (ms <= 0) {
            std::fprintf(stderr, "%s showed no window within 10 s\n", command[0]);
            return 1;
        }
        times.push_back(ms);
    }
    std::printf("%.1f\n", median(times));
    return 0;
}

xcb_connection_t* watchRoot()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        std::fprintf(stderr, "no X server\n");
        return nullptr;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);
    return connection;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: %s <ixomp3> <bench_bare_window> [runs]\n"
                     "       %s --first-window <runs> <command> [arguments...]\n",
                     argv[0], argv[0]);
        return 2;
    }
    xcb_connection_t* connection = watchRoot();
    if (connection == nullptr)
        return 1;
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (std::strcmp(argv[1], "--first-window") == 0 && argc > 3) {
        const int status = firstWindow(connection, std::atoi(argv[2]), argv + 3);
        xcb_disconnect(connection);
        return status;
    }
    const int runs = argc > 3 ? std::atoi(argv[3]) : 9;
    std::vector<double> oursMs, bareMs, oursKb, bareKb;
    for (int run = 0; run < runs; ++run) {
        // The bar is shown about two seconds after start; idle memory is read after that.
        const Run ours = measure(connection, argv[1], 3.0);
        const Run bare = measure(connection, argv[2], 1.0);
        oursMs.push_back(ours.mapMs);
        bareMs.push_back(bare.mapMs);
        oursKb.push_back(double(ours.rssKb));
        bareKb.push_back(double(bare.rssKb));
        std::printf("run %d: IxoMp3 %.1f ms %.1f MB, bare window %.1f ms %.1f MB\n", run + 1,
                    ours.mapMs, ours.rssKb / 1024.0, bare.mapMs, bare.rssKb / 1024.0);
    }
    const double ours = median(oursMs);
    const double bare = median(bareMs);
    std::printf("\nmedian of %d runs      first window mapped   resident memory\n", runs);
    std::printf("IxoMp3 (bar idle)       %7.1f ms           %6.1f MB\n", ours,
                median(oursKb) / 1024.0);
    std::printf("bare Qt 6 window        %7.1f ms           %6.1f MB\n", bare,
                median(bareKb) / 1024.0);
    std::printf("ratio                   %7.2f\n", bare > 0 ? ours / bare : 0.0);
    xcb_disconnect(connection);
    return 0;
}
