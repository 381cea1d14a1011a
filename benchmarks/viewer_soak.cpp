// A bounded soak of the real viewer on an Xvfb of its own: a script of held keys (w a s d r),
// wireframe toggles (t) and mouse moves, repeated for the given time, counting the frames by
// the pose lines and failing when the resident memory grows past a leak's bound.
// Usage: viewer_soak [seconds]   (or VIEWER_SOAK_SECONDS; 300 by default)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "process_status.h"
#include "viewer_session.h"

#include <X11/keysym.h>

namespace {

using Clock = std::chrono::steady_clock;

// The viewer allocates nothing per frame once every path has run, so after the warm-up its
// resident memory only moves by allocator and driver noise: none at all over five minutes here,
// with the smallest of a few readings taken at the same point of the script. A leak of 1 KiB a
// frame passes this bound within the default five minutes (some 1500 frames under llvmpipe);
// the 20-second form catches only the coarse ones, around 10 KiB a frame and up.
constexpr long growthLimitKiB = 1024;
// AddressSanitizer holds freed blocks in its quarantine (256 MiB by default), so the
// resident memory of a sanitized viewer grows with every free: there the soak still drives the
// viewer for the sanitizers to watch, but the growth gives no verdict.
#ifdef __SANITIZE_ADDRESS__
constexpr bool growthShowsLeaks = false;
#else
constexpr bool growthShowsLeaks = true;
#endif
constexpr Seconds tickTimeout{10.0};
constexpr int rssSamples = 5; // ticks; the smallest reading of them counts
constexpr auto progressEvery = std::chrono::seconds(30);

enum class Action { hold, press, look };

struct Step {
    Action action;
    KeySym key; // hold, press
    int ticks;  // held for, or waited after
    int dx;     // look: pointer offset from the window centre, pixels
    int dy;
};

// One cycle touches every control; it ends at the start pose, filled, where RSS is sampled.
const Step script[] = {
    {Action::hold, XK_w, 10, 0, 0}, {Action::hold, XK_a, 5, 0, 0},  {Action::look, 0, 3, 40, 0},
    {Action::hold, XK_s, 10, 0, 0}, {Action::hold, XK_d, 5, 0, 0},  {Action::look, 0, 3, -40, 0},
    {Action::look, 0, 3, 0, -30},   {Action::look, 0, 3, 0, 30},    {Action::press, XK_t, 5, 0, 0},
    {Action::hold, XK_w, 5, 0, 0},  {Action::press, XK_t, 3, 0, 0}, {Action::hold, XK_r, 2, 0, 0},
};

struct Soak {
    ViewerSession session;
    pid_t pid = 0;
    long frames = 0; // pose lines read since the answer
    std::string failure;

    // Counts pose lines until `ticks` more have come; false (and a failure) when they stop.
    bool waitTicks(int ticks) {
        for (int seen = 0; seen < ticks;) {
            const auto line = session.viewer->nextLine(tickTimeout);
            if (!line) {
                failure = "the viewer printed no pose for " + std::to_string(tickTimeout.count()) +
                          " s after " + std::to_string(frames) + " frames";
                return false;
            }
            if (line->rfind("CamPos : ", 0) == 0) {
                ++frames;
                ++seen;
            }
        }
        session.viewer->lines.clear(); // a long soak would otherwise keep every line
        return true;
    }

    bool run(const Step &step) {
        Display *display = session.x->display;
        switch (step.action) {
        case Action::hold:
            setKey(display, step.key, true);
            if (!waitTicks(step.ticks)) {
                return false;
            }
            setKey(display, step.key, false);
            return waitTicks(1);
        case Action::press:
            setKey(display, step.key, true);
            setKey(display, step.key, false);
            return waitTicks(step.ticks);
        case Action::look:
            movePointer(display, session.window, 400 + step.dx, 300 + step.dy);
            return waitTicks(step.ticks);
        }
        return false;
    }

    bool runCycle() {
        return std::all_of(std::begin(script), std::end(script),
                           [this](const Step &step) { return run(step); });
    }

    // The smallest VmRSS over a few ticks: the driver's per-frame buffers come and go.
    std::optional<long> residentKiB() {
        std::optional<long> smallest;
        for (int sample = 0; sample < rssSamples; ++sample) {
            if (!waitTicks(1)) {
                return std::nullopt;
            }
            const std::optional<long> now = statusKiB(pid, "VmRSS");
            if (!now) {
                failure = "cannot read the viewer's VmRSS";
                return std::nullopt;
            }
            smallest = std::min(smallest.value_or(*now), *now);
        }
        return smallest;
    }
};

double secondsArgument(int argc, char **argv) {
    if (argc > 1) {
        return std::atof(argv[1]);
    }
    const char *fromEnvironment = std::getenv("VIEWER_SOAK_SECONDS");
    return fromEnvironment != nullptr ? std::atof(fromEnvironment) : 300.0;
}

int fail(const std::string &why) {
    std::fprintf(stderr, "viewer_soak: %s\n", why.c_str());
    return 1;
}

} // namespace

int main(int argc, char **argv) {
    const double seconds = secondsArgument(argc, argv);
    if (seconds <= 0.0) {
        return fail("the duration must be a positive number of seconds");
    }
    Soak soak;
    const std::string started = soak.session.startAndAnswerNo();
    if (!started.empty()) {
        return fail("start-up: " + started);
    }
    const auto begin = Clock::now();
    const auto deadline = begin + std::chrono::duration_cast<Clock::duration>(Seconds(seconds));
    soak.pid = childRunning(viewerExecutable()).value_or(0);
    if (soak.pid == 0) {
        return fail("cannot find the viewer's process");
    }

    // One cycle of warm-up: every path has allocated what it keeps before the first sample.
    if (!soak.runCycle()) {
        return fail(soak.failure);
    }
    const std::optional<long> startKiB = soak.residentKiB();
    if (!startKiB) {
        return fail(soak.failure);
    }
    const long startFrames = soak.frames;
    auto nextProgress = Clock::now() + progressEvery;
    int cycles = 0;
    while (Clock::now() < deadline || cycles == 0) {
        if (!soak.runCycle()) {
            return fail(soak.failure);
        }
        ++cycles;
        if (Clock::now() >= nextProgress) {
            nextProgress += progressEvery;
            std::printf("soak: %.0f s, %ld frames, VmRSS %ld KiB\n",
                        std::chrono::duration<double>(Clock::now() - begin).count(), soak.frames,
                        statusKiB(soak.pid, "VmRSS").value_or(-1));
            std::fflush(stdout);
        }
    }
    const std::optional<long> endKiB = soak.residentKiB();
    if (!endKiB) {
        return fail(soak.failure);
    }
    const long measuredFrames = soak.frames - startFrames;
    const long growthKiB = *endKiB - *startKiB;
    const double elapsed = std::chrono::duration<double>(Clock::now() - begin).count();
    std::printf("soak: %.0f s, %ld frames drawn (%.1f a second), %d script cycles after warm-up; "
                "VmRSS %ld KiB after warm-up, %ld KiB at the end, growth %ld KiB over %ld frames "
                "= %.1f bytes a frame (limit %ld KiB); VmHWM %ld KiB\n",
                elapsed, soak.frames, double(soak.frames) / elapsed, cycles, *startKiB, *endKiB,
                growthKiB, measuredFrames, 1024.0 * double(growthKiB) / double(measuredFrames),
                growthLimitKiB, statusKiB(soak.pid, "VmHWM").value_or(-1));
    const int status = soak.session.quit();
    if (!growthShowsLeaks) {
        std::printf("soak: sanitizer build, so the growth is not checked\n");
    } else if (growthKiB > growthLimitKiB) {
        return fail("resident memory grew by " + std::to_string(growthKiB) + " KiB, over the " +
                    std::to_string(growthLimitKiB) + " KiB a leak-free run stays within");
    }
    if (status != 0) {
        return fail("Escape ended the viewer with status " + std::to_string(status));
    }
    return 0;
}
