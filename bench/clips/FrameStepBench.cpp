#include "PlayerPane.h"

#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int stepsPerRun = 20;

// Presses `key` and returns the milliseconds until the next frame was drawn, or nothing when none came.
// Paused, the view draws only new frames.
std::optional<double> step(PlayerPane& pane, int key)
{
    const int before = pane.draws;
    const auto pressed = Bench::Clock::now();
    pane.press(key);
    if (!BenchApplication::waitFor([&] { return pane.draws > before; }, 10'000))
        return std::nullopt;
    const double latency = std::chrono::duration<double, std::milli>(pane.lastDraw - pressed).count();
    pane.settle(100);
    return latency;
}

}

// One ← and one → on a long-GOP H.264 clip (720p, a keyframe every 50 frames, B-frames): from the key
// to the new frame drawn. Runs of steps in one direction, as a logger taps or holds the key, from
// starting points spread over the GOPs; then a held key, and how long steps still land once it is let go.
int main(int argc, char** argv)
{
    prepareProcess();
    QApplication application(argc, argv);
    configureApplication();

    QTemporaryDir folder;
    const QString clip = folder.filePath(QStringLiteral("gop50.mp4"));
    if (!makeClip(clip, "1280x720", 20,
            { "-c:v", "libx264", "-preset", "veryfast", "-g", "50", "-keyint_min", "50", "-sc_threshold", "0",
                "-pix_fmt", "yuv420p" }))
        return 1;
    PlayerPane pane;
    if (!pane.load(clip))
        return 1;

    std::vector<double> forward, backward, turns;
    int lost = 0, wrong = 0; // steps that drew nothing; runs that did not end on their frame
    for (qint64 start : { 60, 137, 215, 290, 372 }) {
        if (!pane.park(start))
            return 1;
        for (int i = 0; i < stepsPerRun; ++i) {
            const auto latency = step(pane, Qt::Key_Right);
            latency ? forward.push_back(*latency) : void(++lost);
        }
        wrong += pane.frameIndex() != start + stepsPerRun;
        for (int i = 0; i < stepsPerRun; ++i) {
            const auto latency = step(pane, Qt::Key_Left);
            latency ? (i == 0 ? turns : backward).push_back(*latency) : void(++lost);
        }
        wrong += pane.frameIndex() != start;
    }
    const double left = Bench::median(backward), right = Bench::median(forward);
    std::printf("frame step -> : median %6.1f ms, slowest %6.1f ms (%zu steps)\n", right,
        *std::max_element(forward.begin(), forward.end()), forward.size());
    std::printf("frame step <- : median %6.1f ms, slowest %6.1f ms (%zu steps after the first of a run)\n",
        left, *std::max_element(backward.begin(), backward.end()), backward.size());
    std::printf("first <- after -> : median %6.1f ms (%zu turns)\n", Bench::median(turns), turns.size());
    std::printf("ratio <- / -> medians: %.2f (goal <= 2, and <- <= 150 ms); steps without a frame: %d, runs "
                "that did not end on their frame: %d of 10\n",
        right > 0 ? left / right : 0.0, lost, wrong);

    // A key held for two seconds at X's usual 25 repeats a second.
    for (int key : { Qt::Key_Right, Qt::Key_Left }) {
        if (!pane.park(key == Qt::Key_Right ? 100 : 400))
            return 1;
        const qint64 from = pane.frameIndex();
        pane.frames.clear();
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&pane.view, &down);
        for (int repeat = 0; repeat < 50; ++repeat) {
            BenchApplication::runFor(40);
            pane.press(key, Qt::NoModifier, true);
        }
        pane.release(key);
        const auto released = Bench::Clock::now();
        const size_t atRelease = pane.frames.size();
        pane.settle(1000);
        const double stale = pane.frames.size() > atRelease
            ? std::chrono::duration<double, std::milli>(pane.frames.back().when - released).count()
            : 0.0;
        std::printf(
            "%s held 2 s: %lld frames stepped, %zu of them after the release, the last %.0f ms after it\n",
            key == Qt::Key_Right ? "->" : "<-", std::llabs(pane.frameIndex() - from),
            pane.frames.size() - atRelease, stale);
    }
    return 0;
}
