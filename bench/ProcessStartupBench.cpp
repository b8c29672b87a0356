// Start-up of the real program, measured from outside as a user meets it: from the exec() of
// the process to its first window mapped on the X server, and the process's peak resident
// memory. Against the floor, a bare Qt window with a Japanese label and a text box, started the
// same way and interleaved with it on one X server, so that a busy machine slows both alike.
//
//   bench_process_startup PROGRAM FLOOR      (DISPLAY must name an X server with no other
//                                             program mapping windows)

#include "common/BenchReport.h"
#include "common/Samples.h"

#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {
constexpr int Rounds = 21;
constexpr int MapTimeoutMs = 20000;

struct Disconnect
{
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using Connection = std::unique_ptr<xcb_connection_t, Disconnect>;

struct Run
{
    std::chrono::nanoseconds toMapped;
    // The peak resident memory up to the painted window, and over the whole run with its close.
    long startupPeakKiB;
    long peakKiB;
};

// Waits for the next window mapped on the screen (the watched root reports its children's maps).
bool waitForMap(xcb_connection_t* connection)
{
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(MapTimeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            std::free(event);
            if (mapped)
                return true;
        }
        pollfd fd{xcb_get_file_descriptor(connection), POLLIN, 0};
        ::poll(&fd, 1, 100);
    }
    return false;
}

// A round trip: every event the server sent before it has arrived.
void sync(xcb_connection_t* connection)
{
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

// Drops what earlier runs left on the connection (the unmaps and destroys of their windows).
void drain(xcb_connection_t* connection)
{
    sync(connection);
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection))
        std::free(event);
}

// The process's peak resident memory so far (VmHWM), in KiB.
long peakSoFar(pid_t pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').constFirst().toLong();
    }
    return 0;
}

Run start(xcb_connection_t* connection, const char* program)
{
    drain(connection);
    char* const argv[] = {const_cast<char*>(program), nullptr};
    pid_t pid = 0;
    const auto begun = std::chrono::steady_clock::now();
    if (::posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0)
        qFatal("cannot start %s", program);
    if (!waitForMap(connection)) {
        ::kill(pid, SIGKILL);
        qFatal("%s mapped no window", program);
    }
    const auto mapped = std::chrono::steady_clock::now();
    // The first paint follows the map; let it happen before the process is asked to end, so the
    // peak memory holds it.
    ::poll(nullptr, 0, 300);
    const long startupPeak = peakSoFar(pid);
    ::kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    return {mapped - begun, startupPeak, usage.ru_maxrss};
}

template <typename T> double median(QList<T> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    return values.size() % 2 ? double(values[middle]) : (values[middle - 1] + values[middle]) / 2.0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PROGRAM FLOOR\n", argv[0]);
        return 2;
    }
    Connection connection(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(connection.get())) {
        std::fprintf(stderr, "no X server: set DISPLAY\n");
        return 2;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection.get())).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection.get(), screen->root, XCB_CW_EVENT_MASK, &mask);

    // The program keeps its diary in a folder of its own, made at the first start.
    QTemporaryDir diary;
    ::setenv("TOBIQUILL_HOME", qPrintable(diary.path()), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    start(connection.get(), argv[1]);

    // Each round starts both; the ratio within a round is what a busy machine disturbs least.
    Samples programTime;
    Samples floorTime;
    QList<double> timeRatios;
    QList<long> programPeak[2];
    QList<long> floorPeak[2];
    for (int i = 0; i < Rounds; ++i) {
        const Run floor = start(connection.get(), argv[2]);
        const Run program = start(connection.get(), argv[1]);
        floorTime.add(floor.toMapped);
        programTime.add(program.toMapped);
        timeRatios.append(double(program.toMapped.count()) / double(floor.toMapped.count()));
        floorPeak[0].append(floor.startupPeakKiB);
        floorPeak[1].append(floor.peakKiB);
        programPeak[0].append(program.startupPeakKiB);
        programPeak[1].append(program.peakKiB);
    }

    BenchReport::section(QStringLiteral("Process start-up to the mapped window (X server)"));
    BenchReport::figure(QStringLiteral("tobiquill"), programTime);
    BenchReport::figure(QStringLiteral("floor: bare Qt window, label and text box"), floorTime);
    std::printf("  peak RSS to the painted window, median: tobiquill %.0f KiB, floor %.0f KiB\n",
                median(programPeak[0]), median(floorPeak[0]));
    std::printf("  peak RSS of the whole run with its close: tobiquill %.0f KiB, floor %.0f KiB\n",
                median(programPeak[1]), median(floorPeak[1]));
    BenchReport::ratio(QStringLiteral("start-up / floor (median of the rounds' ratios)"),
                       median(timeRatios), QStringLiteral("aim <= 1.15x"));
    BenchReport::ratio(QStringLiteral("start-up / floor (fastest of each)"),
                       programTime.minMicros() / floorTime.minMicros());
    BenchReport::ratio(QStringLiteral("peak RSS to the painted window / floor"),
                       median(programPeak[0]) / median(floorPeak[0]),
                       QStringLiteral("aim <= 1.05x"));
    BenchReport::ratio(QStringLiteral("peak RSS with the close / floor"),
                       median(programPeak[1]) / median(floorPeak[1]));
    return 0;
}
