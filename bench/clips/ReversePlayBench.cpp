#include "PlayerPane.h"

#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int runs = 3;
constexpr int windowMilliseconds = 6000;

struct Play
{
    double framesPerSecond = 0; // distinct frames drawn a second, from the first new frame on
    double startMilliseconds = -1; // from the key to the first new frame
};

// Plays from frame `from` with `key` for the window, and counts the distinct frames drawn.
Play play(PlayerPane& pane, qint64 from, int key)
{
    Play result;
    if (!pane.park(from))
        return result;
    pane.frames.clear();
    const auto pressed = Bench::Clock::now();
    pane.press(key);
    BenchApplication::runFor(windowMilliseconds);
    const auto end = Bench::Clock::now();
    pane.press(Qt::Key_K);
    pane.settle();
    if (pane.frames.empty())
        return result;
    result.startMilliseconds
        = std::chrono::duration<double, std::milli>(pane.frames.front().when - pressed).count();
    const double seconds = std::chrono::duration<double>(end - pane.frames.front().when).count();
    result.framesPerSecond = seconds > 0 ? double(pane.frames.size() - 1) / seconds : 0;
    return result;
}

}

// J at 1× beside L at 1× on the same clip, in the same run: the distinct frames drawn a second, on a
// long-GOP H.264 clip (a keyframe every 50 frames, B-frames) and on an intra-only ProRes clip, 720p.
int main(int argc, char** argv)
{
    prepareProcess();
    QApplication application(argc, argv);
    configureApplication();

    struct Clip
    {
        const char* name;
        const char* fileName;
        QStringList encoder;
    };
    const std::array clips {
        Clip { "H.264 GOP 50", "gop50.mp4",
            { "-c:v", "libx264", "-preset", "veryfast", "-g", "50", "-keyint_min", "50", "-sc_threshold", "0",
                "-pix_fmt", "yuv420p" } },
        Clip { "ProRes 422", "prores.mov", { "-c:v", "prores", "-profile:v", "2" } },
    };
    constexpr int seconds = 20;
    QTemporaryDir folder;
    for (const Clip& clip : clips) {
        if (!makeClip(folder.filePath(QLatin1String(clip.fileName)), "1280x720", seconds, clip.encoder))
            return 1;
    }

    PlayerPane pane;
    for (const Clip& clip : clips) {
        if (!pane.load(folder.filePath(QLatin1String(clip.fileName)))) {
            std::printf("%s: the clip did not open\n", clip.name);
            return 1;
        }
        const qint64 last = qint64(seconds * pane.player()->framesPerSecond()) - 1;
        std::vector<double> forward, backward, forwardStart, backwardStart;
        for (int run = 0; run < runs; ++run) {
            const Play ahead = play(pane, 25, Qt::Key_L);
            forward.push_back(ahead.framesPerSecond);
            forwardStart.push_back(ahead.startMilliseconds);
            const Play back = play(pane, last - 25, Qt::Key_J);
            backward.push_back(back.framesPerSecond);
            backwardStart.push_back(back.startMilliseconds);
        }
        const double forwardRate = Bench::median(forward), backwardRate = Bench::median(backward);
        std::printf(
            "%-12s 1x forward (L): %5.1f frames/s, first frame after %5.0f ms | 1x backward (J): %5.1f "
            "frames/s, first frame after %5.0f ms | ratio J/L %.2f (goal >= 0.8; medians of %d runs of "
            "%d s, clip 25 frames/s)\n",
            clip.name, forwardRate, Bench::median(forwardStart), backwardRate, Bench::median(backwardStart),
            forwardRate > 0 ? backwardRate / forwardRate : 0.0, runs, windowMilliseconds / 1000);
    }
    return 0;
}
