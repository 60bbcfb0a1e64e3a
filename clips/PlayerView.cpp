#include "clips/PlayerView.h"
#include "clips/MpvCore.h"
#include "clips/MpvPlayer.h"
#include "clips/PlayerIcons.h"
#include "clips/PlayerTimeText.h"
#include "clips/Shuttle.h"
#include "clips/VideoSurface.h"

#include "ui_PlayerView.h"

#include <QAbstractButton>
#include <QAction>
#include <QKeyEvent>
#include <QSignalBlocker>

#include <cmath>
#include <utility>

namespace {

constexpr int volumeStep = 5;

// The state is shown many times a second while a clip plays; a button keeps its icon until it changes.
void showIcon(QAbstractButton* button, const QIcon& icon)
{
    if (button->icon().cacheKey() != icon.cacheKey())
        button->setIcon(icon);
}

}

PlayerView::PlayerView(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::PlayerView>())
{
    ui->setupUi(this);
    playIcon = PlayerIcons::play();
    pauseIcon = PlayerIcons::pause();
    volumeIcon = PlayerIcons::volume();
    mutedIcon = PlayerIcons::muted();
    // The picture and the message in its place pass the keyboard and the mouse to the view: the logger's
    // keys always reach the player.
    ui->surface->setFocusProxy(this);
    ui->message->setAttribute(Qt::WA_TransparentForMouseEvents);
    for (QLabel* readOut : { ui->elapsed, ui->remainingLabel, ui->recordingTime, ui->sourceTimecode })
        readOutToolTips.emplace_back(readOut, readOut->toolTip());

    // Frames drawn before the clip's first picture is ready are the previous clip's last ones.
    connect(ui->surface, &VideoSurface::frameDrawn, this, [this] {
        if (currentPlayer && currentPlayer->hasPicture())
            emit frameDrawn();
    });
    connect(ui->playButton, &QToolButton::clicked, ui->actionPlayPause, &QAction::trigger);
    connect(ui->scrubber, &QSlider::actionTriggered, this, [this] {
        if (currentPlayer)
            currentPlayer->seek(ui->scrubber->sliderPosition() / 1000.0);
    });
    connect(ui->muteButton, &QToolButton::toggled, this, [this](bool mute) {
        if (currentPlayer)
            currentPlayer->setMuted(mute);
    });
    connect(ui->volume, &QSlider::valueChanged, this, [this](int percent) {
        if (currentPlayer)
            currentPlayer->setVolume(percent);
    });

    // The actions are enabled while a clip is loaded; the sound's keys set the controls as a click does.
    connect(ui->actionPlayPause, &QAction::triggered, this,
        [this] { currentPlayer->setRate(Shuttle::toggled(currentPlayer->rate())); });
    connect(ui->actionStop, &QAction::triggered, this, [this] { currentPlayer->setRate(0); });
    connect(ui->actionShuttleBackward, &QAction::triggered, this,
        [this] { currentPlayer->setRate(Shuttle::backward(currentPlayer->rate())); });
    connect(ui->actionShuttleForward, &QAction::triggered, this,
        [this] { currentPlayer->setRate(Shuttle::forward(currentPlayer->rate())); });
    connect(ui->actionPreviousFrame, &QAction::triggered, this, [this] { step(&MpvPlayer::stepFrame, -1); });
    connect(ui->actionNextFrame, &QAction::triggered, this, [this] { step(&MpvPlayer::stepFrame, 1); });
    connect(
        ui->actionSecondBackward, &QAction::triggered, this, [this] { step(&MpvPlayer::stepSeconds, -1); });
    connect(ui->actionSecondForward, &QAction::triggered, this, [this] { step(&MpvPlayer::stepSeconds, 1); });
    connect(ui->actionGoToStart, &QAction::triggered, this, [this] { currentPlayer->seek(0); });
    connect(ui->actionMute, &QAction::triggered, ui->muteButton, &QToolButton::toggle);
    connect(ui->actionVolumeUp, &QAction::triggered, this,
        [this] { ui->volume->setValue(ui->volume->value() + volumeStep); });
    connect(ui->actionVolumeDown, &QAction::triggered, this,
        [this] { ui->volume->setValue(ui->volume->value() - volumeStep); });
    showState();
}

PlayerView::~PlayerView()
{
    // The player stops its file on the core, and mpv's renderer must go before the core it draws.
    currentPlayer.reset();
    ui->surface->attach(nullptr);
}

std::unique_ptr<MpvPlayer> PlayerView::makePlayer(const QString& path)
{
    if (!core) {
        core = std::make_unique<MpvCore>(hardwareDecoding);
        ui->surface->attach(core->handle());
    }
    return std::make_unique<MpvPlayer>(*core, path);
}

void PlayerView::setPlayer(
    std::unique_ptr<MpvPlayer> player, const QDateTime& start, const std::optional<Timecode>& timecode)
{
    currentPlayer = std::move(player);
    recordingStart = currentPlayer ? start : QDateTime();
    startTimecode = currentPlayer ? timecode : std::nullopt;
    showNotice({});
    if (currentPlayer) {
        connect(currentPlayer.get(), &MpvPlayer::changed, this, &PlayerView::showState);
        connect(currentPlayer.get(), &MpvPlayer::failed, this, &PlayerView::showFailure);
        connect(currentPlayer.get(), &MpvPlayer::notice, this, &PlayerView::showNotice);
        // The picture may have been drawn before its report came: draw it once more, as this clip's.
        connect(currentPlayer.get(), &MpvPlayer::pictureReady, ui->surface, &VideoSurface::redraw);
        currentPlayer->start();
        // After the start, so that a refusal is this clip's.
        currentPlayer->setVolume(ui->volume->value());
        currentPlayer->setMuted(ui->muteButton->isChecked());
    }
    for (QAction* action : actions())
        action->setEnabled(currentPlayer != nullptr);
    showState();
    if (currentPlayer && currentPlayer->failure())
        showFailure(*currentPlayer->failure());
}

void PlayerView::setHardwareDecoding(bool allowed)
{
    hardwareDecoding = allowed;
    if (core)
        core->setHardwareDecodingAllowed(allowed);
}

void PlayerView::setNoteMarks(const QList<double>& seconds)
{
    // The bar counts in milliseconds, as showState sets its range.
    QList<int> positions;
    positions.reserve(seconds.size());
    for (double second : seconds)
        positions.append(int(std::lround(second * 1000)));
    ui->scrubber->setMarks(positions);
}

QList<double> PlayerView::noteMarks() const
{
    QList<double> seconds;
    for (int position : ui->scrubber->marks())
        seconds.append(position / 1000.0);
    return seconds;
}

QString PlayerView::elapsedText() const
{
    return ui->elapsed->text();
}

QString PlayerView::remainingText() const
{
    return ui->remainingLabel->text();
}

QString PlayerView::recordingTimeText() const
{
    return ui->recordingTime->text();
}

QString PlayerView::readOutToolTip() const
{
    return ui->elapsed->toolTip();
}

QString PlayerView::sourceTimecodeText() const
{
    return ui->sourceTimecode->text();
}

QString PlayerView::messageText() const
{
    return ui->message->isHidden() ? QString() : ui->message->text();
}

QString PlayerView::noticeText() const
{
    return ui->notice->text();
}

void PlayerView::showState()
{
    MpvPlayer* player = currentPlayer.get();
    const double position = player ? player->currentTime() : 0;
    const double duration = player ? player->duration() : 0;
    const double fps = player ? player->framesPerSecond() : 0;
    for (QWidget* widget : { static_cast<QWidget*>(ui->playButton), static_cast<QWidget*>(ui->scrubber) })
        widget->setEnabled(player && duration > 0);

    const bool playing = player && player->rate() != 0;
    showIcon(ui->playButton, playing ? pauseIcon : playIcon);
    if (!ui->scrubber->isSliderDown()) {
        const QSignalBlocker blocker(ui->scrubber);
        ui->scrubber->setRange(0, int(std::lround(duration * 1000)));
        ui->scrubber->setValue(int(std::lround(position * 1000)));
    }
    ui->elapsed->setText(PlayerTimeText::timecode(position, fps));
    ui->remainingLabel->setText(PlayerTimeText::remaining(position, duration, fps));
    ui->recordingTime->setText(PlayerTimeText::recordingTimeOfDay(recordingStart, position));
    const QString decoding = player ? PlayerTimeText::decoding(player->hardwareDecoder()) : QString();
    for (const auto& [readOut, toolTip] : readOutToolTips)
        readOut->setToolTip(decoding.isEmpty() ? toolTip : toolTip + u'\n' + decoding);
    ui->sourceTimecode->setText(startTimecode ? startTimecode->at(position) : QString());
    ui->sourceTimecode->setVisible(startTimecode.has_value());

    if (player) {
        const QSignalBlocker volumeBlocker(ui->volume);
        const QSignalBlocker muteBlocker(ui->muteButton);
        ui->volume->setValue(player->volume());
        ui->muteButton->setChecked(player->isMuted());
    }
    showIcon(ui->muteButton, ui->muteButton->isChecked() ? mutedIcon : volumeIcon);
    if (!player)
        showMessage(tr("Select a clip to play it."));
    else if (!player->failure())
        showMessage({});
}

void PlayerView::showFailure(const QString& reason)
{
    showMessage(tr("This clip cannot be played: %1.").arg(reason));
}

void PlayerView::showMessage(const QString& text)
{
    ui->message->setText(text);
    ui->message->setVisible(!text.isEmpty());
    // The picture is a native window, which no widget can be drawn over: the message takes its place.
    ui->surface->setVisible(text.isEmpty());
}

void PlayerView::showNotice(const QString& text)
{
    ui->notice->setText(text);
    ui->notice->setVisible(!text.isEmpty());
}

bool PlayerView::event(QEvent* event)
{
    // Qt offers a key press to the focus widget as a shortcut override before it triggers the action the
    // key is the shortcut of; the view lets every key through, and notes whether it repeats.
    if (event->type() == QEvent::ShortcutOverride)
        shortcutIsRepeat = static_cast<QKeyEvent*>(event)->isAutoRepeat();
    return QWidget::event(event);
}

void PlayerView::keyReleaseEvent(QKeyEvent* event)
{
    // X repeats a held key as pairs of presses and releases; only the last release lets it go.
    const bool arrow = event->key() == Qt::Key_Left || event->key() == Qt::Key_Right;
    if (arrow && !event->isAutoRepeat()) {
        shortcutIsRepeat = false;
        if (currentPlayer)
            currentPlayer->releaseStep();
    }
    QWidget::keyReleaseEvent(event);
}

void PlayerView::step(void (MpvPlayer::*stepBy)(int direction, bool autoRepeat), int direction)
{
    // A step chosen from a menu is never a repeat: the flag belongs to the key press that triggered it.
    const bool autoRepeat = std::exchange(shortcutIsRepeat, false);
    if (currentPlayer)
        (currentPlayer.get()->*stepBy)(direction, autoRepeat);
}

void PlayerView::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    QWidget::mousePressEvent(event);
}
