#pragma once

#include "BenchApplication.h"
#include "support/Statistics.h"

#include "clips/MpvPlayer.h"
#include "clips/PlayerView.h"

#include <QKeyEvent>

#include <cmath>
#include <vector>

// A player pane on its own window, as big as the logger's, and every distinct frame it draws: the
// benchmarks of the player's keys read their figures from it.
class PlayerPane
{
public:
    struct Frame
    {
        Bench::Clock::time_point when;
        qint64 index; // the frame's number in the clip
    };

    PlayerPane()
    {
        view.resize(960, 600);
        view.show();
        // The keys are the view's shortcuts, which act in the active window only.
        view.activateWindow();
        BenchApplication::waitFor([this] { return view.isActiveWindow(); }, 5000);
        // A frame counts when it is drawn; its number is the play head's at that moment.
        QObject::connect(&view, &PlayerView::frameDrawn, [this] {
            ++draws;
            lastDraw = Bench::Clock::now();
            if (!view.player())
                return;
            const qint64 index = frameIndex();
            if (frames.empty() || frames.back().index != index)
                frames.push_back({ Bench::Clock::now(), index });
        });
    }

    // Loads `path` and waits for its first picture; false when it did not come.
    bool load(const QString& path)
    {
        auto player = view.makePlayer(path);
        MpvPlayer* opened = player.get();
        view.setPlayer(std::move(player));
        view.setFocus();
        return BenchApplication::waitFor([opened] {
            return opened->duration() > 0 && opened->framesPerSecond() > 0 && opened->hasPicture();
        });
    }

    MpvPlayer* player() const { return view.player(); }
    qint64 frameIndex() const
    {
        return std::llround(view.player()->currentTime() * view.player()->framesPerSecond());
    }

    // Puts the play head on frame `index`, paused, and waits until that frame is drawn.
    bool park(qint64 index)
    {
        player()->setRate(0);
        player()->seek(double(index) / player()->framesPerSecond());
        return BenchApplication::waitFor([&] { return !frames.empty() && frames.back().index == index; })
            && settle();
    }

    // Waits until no new frame has come for `quietMilliseconds`.
    bool settle(int quietMilliseconds = 300)
    {
        auto lastChange = Bench::Clock::now();
        int seen = draws;
        return BenchApplication::waitFor([&] {
            if (draws != seen) {
                seen = draws;
                lastChange = Bench::Clock::now();
            }
            return Bench::millisecondsSince(lastChange) > quietMilliseconds;
        });
    }

    // A key pressed and let go. A held key repeats as X repeats it: presses and releases marked as
    // repeats, and one true release at the end.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false)
    {
        QKeyEvent down(QEvent::KeyPress, key, modifiers, QString(), autoRepeat);
        QCoreApplication::sendEvent(&view, &down);
        release(key, modifiers, autoRepeat);
    }
    void release(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false)
    {
        QKeyEvent up(QEvent::KeyRelease, key, modifiers, QString(), autoRepeat);
        QCoreApplication::sendEvent(&view, &up);
    }

    PlayerView view;
    // Distinct frames: the play head's report may come just after the frame it names was drawn, so a
    // frame is seldom counted under its neighbour's number, never twice.
    std::vector<Frame> frames;
    int draws = 0;
    Bench::Clock::time_point lastDraw;
};
