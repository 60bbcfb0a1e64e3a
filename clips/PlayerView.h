#pragma once

#include "clips/Timecode.h"

#include <QDateTime>
#include <QIcon>
#include <QList>
#include <QWidget>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

class MpvCore;
class QLabel;
class MpvPlayer;
namespace Ui {
class PlayerView;
}

// The video player pane: the picture, and the controls a logger works with (PlayerView.ui). Its actions
// (actions(), for a menu) drive it from the keyboard while it has the focus: space plays and pauses, K
// pauses, J and L shuttle backwards and forwards (each press doubles the speed up to 8×), ← and → step one
// frame, with Shift one second; M mutes, ↑ and ↓ set the volume, Home goes back to the start. They are
// enabled while a clip is loaded.
class PlayerView : public QWidget
{
    Q_OBJECT

public:
    explicit PlayerView(QWidget* parent = nullptr);
    ~PlayerView() override;

    // The loaded clip's player, or none.
    MpvPlayer* player() const { return currentPlayer.get(); }

    // A player for the clip at `path`, on this view's core, to be handed to setPlayer().
    std::unique_ptr<MpvPlayer> makePlayer(const QString& path);

    // Holds `player` (the previous one is removed) and opens its file; nullptr empties the view.
    // `recordingStart` is when the clip's first frame was recorded, for the time-of-day read-out;
    // `startTimecode` the clip's own timecode at its first frame, for the source timecode read-out.
    void setPlayer(std::unique_ptr<MpvPlayer> player, const QDateTime& recordingStart = {},
        const std::optional<Timecode>& startTimecode = std::nullopt);

    // The logger's notes on the loaded clip, as seconds from its start: ticks on the position bar. They
    // stay until they are replaced, also across clips: the notes' owner knows which clip they belong to.
    void setNoteMarks(const QList<double>& seconds);
    QList<double> noteMarks() const;

    // Whether the player may decode on the graphics card; on by default. For drivers that misbehave.
    void setHardwareDecoding(bool allowed);

    // The read-outs as shown, for the logger and for tests.
    QString elapsedText() const;
    QString remainingText() const;
    QString recordingTimeText() const;
    // Empty when the clip has no timecode of its own.
    QString sourceTimecodeText() const;
    // The read-out's tooltip: what it shows, and which decoder is at work.
    QString readOutToolTip() const;
    // The message shown in the picture's place (a clip that cannot be played), empty when none.
    QString messageText() const;
    // The player's last word under the controls (a refused command, reverse play by stepping), empty
    // when none.
    QString noticeText() const;

signals:
    // A new frame of the loaded clip has been drawn.
    void frameDrawn();

protected:
    bool event(QEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // A frame or a second forwards (1) or backwards (-1), by `stepBy`, one of the player's two steps.
    void step(void (MpvPlayer::*stepBy)(int direction, bool autoRepeat), int direction);
    void showState();
    void showFailure(const QString& reason);
    // Shows `text` in the picture's place; an empty text brings the picture back.
    void showMessage(const QString& text);
    void showNotice(const QString& text);

    std::unique_ptr<Ui::PlayerView> ui;
    // The core is made with the first player and kept: the players come and go on it.
    std::unique_ptr<MpvCore> core;
    std::unique_ptr<MpvPlayer> currentPlayer;
    QDateTime recordingStart;
    std::optional<Timecode> startTimecode;
    bool hardwareDecoding = true;
    // Whether the key press now being turned into one of the actions is a held key's repeat: an action
    // is triggered without the key event, and a held arrow key steps only once the step before it landed.
    bool shortcutIsRepeat = false;
    // Made once: every icon the style makes is a new one, with new renderings in the pixmap cache.
    QIcon playIcon, pauseIcon, volumeIcon, mutedIcon;
    // The time read-outs and what their tooltips say before the decoder is named.
    std::vector<std::pair<QLabel*, QString>> readOutToolTips;
};
