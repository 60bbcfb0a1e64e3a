#include "clips/PlayerView.h"
#include "clips/MpvCore.h"
#include "clips/MpvPlayer.h"
#include "clips/PlayerTimeText.h"
#include "clips/Shuttle.h"
#include "clips/VideoSurface.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int volumeStep = 5;

// The controls never take the keyboard from the view: the logger's keys always reach the player.
template <typename Control> Control* control(QWidget* parent)
{
    auto* widget = new Control(parent);
    widget->setFocusPolicy(Qt::NoFocus);
    return widget;
}

QLabel* readOut(QWidget* parent, const QString& toolTip)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setToolTip(toolTip);
    QFont font = label->font();
    font.setFamily(QStringLiteral("monospace"));
    font.setStyleHint(QFont::TypeWriter);
    label->setFont(font);
    return label;
}

}

PlayerView::PlayerView(QWidget* parent)
    : QWidget(parent)
    , surface(new VideoSurface(this))
    , message(new QLabel(this))
    , playButton(control<QToolButton>(this))
    , scrubber(control<QSlider>(this))
    , elapsed(readOut(this, tr("Elapsed")))
    , remainingLabel(readOut(this, tr("Remaining")))
    , recordingTime(readOut(this, tr("Recording time of day under the play head")))
    , muteButton(control<QToolButton>(this))
    , volume(control<QSlider>(this))
{
    setFocusPolicy(Qt::StrongFocus);
    surface->setFocusProxy(this);
    surface->setMinimumSize(160, 90);

    // The player's reasons can quote a file's name.
    message->setTextFormat(Qt::PlainText);
    message->setAlignment(Qt::AlignCenter);
    message->setWordWrap(true);
    message->setStyleSheet(QStringLiteral("color: white; background: transparent; padding: 12px;"));
    message->setAttribute(Qt::WA_TransparentForMouseEvents);

    playButton->setToolTip(tr("Play or pause (Space, K); J and L shuttle"));
    scrubber->setOrientation(Qt::Horizontal);
    scrubber->setToolTip(tr("Play head"));
    muteButton->setCheckable(true);
    muteButton->setToolTip(tr("Mute (M)"));
    volume->setOrientation(Qt::Horizontal);
    volume->setRange(0, 100);
    volume->setValue(lastVolume);
    volume->setMaximumWidth(90);
    volume->setToolTip(tr("Volume (↑, ↓)"));

    auto* picture = new QGridLayout;
    picture->addWidget(surface, 0, 0);
    picture->addWidget(message, 0, 0);
    auto* controls = new QHBoxLayout;
    controls->addWidget(playButton);
    controls->addWidget(elapsed);
    controls->addWidget(scrubber, 1);
    controls->addWidget(remainingLabel);
    controls->addSpacing(8);
    controls->addWidget(recordingTime);
    controls->addSpacing(8);
    controls->addWidget(muteButton);
    controls->addWidget(volume);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(picture, 1);
    layout->addLayout(controls);

    // Frames drawn before the clip's first picture is ready are the previous clip's last ones.
    connect(surface, &VideoSurface::frameDrawn, this, [this] {
        if (currentPlayer && currentPlayer->hasPicture())
            emit frameDrawn();
    });
    connect(playButton, &QToolButton::clicked, this, [this] {
        if (currentPlayer)
            currentPlayer->setRate(Shuttle::toggled(currentPlayer->rate()));
    });
    connect(scrubber, &QSlider::actionTriggered, this, [this] {
        if (currentPlayer)
            currentPlayer->seek(scrubber->sliderPosition() / 1000.0);
    });
    connect(muteButton, &QToolButton::toggled, this, [this](bool mute) {
        if (currentPlayer)
            currentPlayer->setMuted(mute);
    });
    connect(volume, &QSlider::valueChanged, this, [this](int percent) {
        lastVolume = percent;
        if (currentPlayer)
            currentPlayer->setVolume(percent);
    });
    showState();
}

PlayerView::~PlayerView()
{
    // The player stops its file on the core, and mpv's renderer must go before the core it draws.
    currentPlayer.reset();
    surface->attach(nullptr);
}

std::unique_ptr<MpvPlayer> PlayerView::makePlayer(const QString& path)
{
    if (!core) {
        core = std::make_unique<MpvCore>();
        surface->attach(core->handle());
    }
    return std::make_unique<MpvPlayer>(*core, path);
}

void PlayerView::setPlayer(std::unique_ptr<MpvPlayer> player, const QDateTime& start)
{
    currentPlayer = std::move(player);
    recordingStart = currentPlayer ? start : QDateTime();
    if (currentPlayer) {
        connect(currentPlayer.get(), &MpvPlayer::changed, this, &PlayerView::showState);
        connect(currentPlayer.get(), &MpvPlayer::failed, this, &PlayerView::showFailure);
        // The picture may have been drawn before its report came: draw it once more, as this clip's.
        connect(currentPlayer.get(), &MpvPlayer::pictureReady, surface, &VideoSurface::redraw);
        currentPlayer->setVolume(lastVolume);
        currentPlayer->setMuted(muteButton->isChecked());
        currentPlayer->start();
    }
    showState();
    if (currentPlayer && currentPlayer->failure())
        showFailure(*currentPlayer->failure());
}

QString PlayerView::elapsedText() const
{
    return elapsed->text();
}

QString PlayerView::remainingText() const
{
    return remainingLabel->text();
}

QString PlayerView::recordingTimeText() const
{
    return recordingTime->text();
}

QString PlayerView::messageText() const
{
    return message->isHidden() ? QString() : message->text();
}

void PlayerView::showState()
{
    MpvPlayer* player = currentPlayer.get();
    const double position = player ? player->currentTime() : 0;
    const double duration = player ? player->duration() : 0;
    const double fps = player ? player->framesPerSecond() : 0;
    for (QWidget* widget : { static_cast<QWidget*>(playButton), static_cast<QWidget*>(scrubber) })
        widget->setEnabled(player && duration > 0);

    const bool playing = player && player->rate() != 0;
    playButton->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    if (!scrubber->isSliderDown()) {
        const QSignalBlocker blocker(scrubber);
        scrubber->setRange(0, int(std::lround(duration * 1000)));
        scrubber->setValue(int(std::lround(position * 1000)));
    }
    elapsed->setText(PlayerTimeText::timecode(position, fps));
    remainingLabel->setText(PlayerTimeText::remaining(position, duration, fps));
    recordingTime->setText(PlayerTimeText::recordingTimeOfDay(recordingStart, position));

    if (player) {
        const QSignalBlocker volumeBlocker(volume);
        const QSignalBlocker muteBlocker(muteButton);
        volume->setValue(player->volume());
        muteButton->setChecked(player->isMuted());
    }
    muteButton->setIcon(style()->standardIcon(
        muteButton->isChecked() ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume));
    if (!player) {
        message->setText(tr("Select a clip to play it."));
        message->show();
    } else if (!player->failure()) {
        message->hide();
    }
}

void PlayerView::showFailure(const QString& reason)
{
    message->setText(tr("This clip cannot be played: %1.").arg(reason));
    message->show();
}

void PlayerView::keyPressEvent(QKeyEvent* event)
{
    if (!handleKey(*event))
        QWidget::keyPressEvent(event);
}

bool PlayerView::handleKey(const QKeyEvent& event)
{
    MpvPlayer* player = currentPlayer.get();
    if (!player)
        return false;
    const bool shift = event.modifiers() & Qt::ShiftModifier;
    switch (event.key()) {
    case Qt::Key_Space:
        player->setRate(Shuttle::toggled(player->rate()));
        return true;
    case Qt::Key_K:
        player->setRate(0);
        return true;
    case Qt::Key_J:
        player->setRate(Shuttle::backward(player->rate()));
        return true;
    case Qt::Key_L:
        player->setRate(Shuttle::forward(player->rate()));
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int direction = event.key() == Qt::Key_Left ? -1 : 1;
        if (shift)
            player->seekBy(direction * 1.0);
        else
            player->stepFrame(direction);
        return true;
    }
    case Qt::Key_Home:
        player->seek(0);
        return true;
    case Qt::Key_M:
        muteButton->toggle();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        volume->setValue(volume->value() + (event.key() == Qt::Key_Up ? volumeStep : -volumeStep));
        return true;
    default:
        return false;
    }
}

void PlayerView::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    QWidget::mousePressEvent(event);
}
