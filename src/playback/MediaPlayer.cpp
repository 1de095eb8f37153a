#include "MediaPlayer.h"

#include <algorithm>
#include <cmath>

namespace {

float gainFor(int hundredthsOfDb)
{
    if (hundredthsOfDb <= MediaComponent::MinVolume)
        return 0.0F;
    return static_cast<float>(std::pow(10.0, hundredthsOfDb / 2000.0));
}

} // namespace

MediaPlayer::MediaPlayer(QObject* parent) : MediaComponent(parent)
{
    // The feeder reports on its own thread; each report is queued to this object's thread and
    // runs there, and Qt drops those still queued when this object is destroyed.
    m_feeder = std::make_unique<PlaybackFeeder>([this](PlaybackFeeder::Event event) {
        QMetaObject::invokeMethod(
            this, [this, event] { onFeederEvent(event); }, Qt::QueuedConnection);
    });
}

MediaPlayer::~MediaPlayer()
{
    m_feeder.reset();
}

QString MediaPlayer::CurrentFile() const
{
    return m_currentFile;
}

void MediaPlayer::setCurrentFile(const QString& path)
{
    if (!path.isEmpty()) {
        Open(path);
        return;
    }
    // The playback monitor writes "" ten times a second; when nothing is open that costs nothing.
    if (m_currentFile.isEmpty() && m_state == Stopped)
        return;
    ++m_generation;
    m_currentFile.clear();
    m_playedToEnd = false;
    send(PlaybackFeeder::Transport::Stopped);
    setState(Stopped);
}

double MediaPlayer::Position() const
{
    if (m_state == Stopped && !m_playedToEnd)
        return 0.0;
    return m_feeder->positionSeconds(m_generation);
}

double MediaPlayer::Duration() const
{
    return m_feeder->durationSeconds(m_generation);
}

int MediaPlayer::PlayState() const
{
    return m_state;
}

int MediaPlayer::Volume() const
{
    return m_volume;
}

void MediaPlayer::setVolume(int hundredthsOfDb)
{
    m_volume = std::clamp(hundredthsOfDb, MinVolume, MaxVolume);
    m_feeder->setGain(gainFor(m_volume));
}

void MediaPlayer::Open(const QString& path)
{
    if (path.isEmpty()) {
        setCurrentFile(path);
        return;
    }
    ++m_generation;
    m_currentFile = path;
    m_playedToEnd = false;
    send(PlaybackFeeder::Transport::Playing);
    setState(Playing);
}

void MediaPlayer::Play()
{
    if (m_state == Paused) {
        send(PlaybackFeeder::Transport::Playing);
        setState(Playing);
    } else if (m_state == Stopped && !m_currentFile.isEmpty()) {
        Open(m_currentFile);
    }
}

void MediaPlayer::Pause()
{
    if (m_state != Playing)
        return;
    send(PlaybackFeeder::Transport::Paused);
    setState(Paused);
}

void MediaPlayer::Stop()
{
    if (m_currentFile.isEmpty())
        return;
    m_playedToEnd = false;
    send(PlaybackFeeder::Transport::Stopped);
    setState(Stopped);
}

void MediaPlayer::send(PlaybackFeeder::Transport transport)
{
    m_feeder->request(m_generation, m_currentFile, transport);
}

void MediaPlayer::setState(int state)
{
    if (state == m_state)
        return;
    const int old = m_state;
    m_state = state;
    emit PlayStateChanged(old, state);
}

// Runs on the window thread. Reports about a song that has since been replaced are dropped.
void MediaPlayer::onFeederEvent(PlaybackFeeder::Event event)
{
    if (event.generation != m_generation)
        return;
    switch (event.kind) {
    // A file that cannot be played ends at once, so that a playlist moves on past it as past
    // one that played; the state is Stopped first, so nothing takes it for a song playing.
    case PlaybackFeeder::EventKind::Failed:
        setState(Stopped);
        emit SongEnded(0);
        break;
    case PlaybackFeeder::EventKind::DecodeEnded:
        if (m_state != Stopped)
            emit SongEnded(0);
        break;
    case PlaybackFeeder::EventKind::PlayedOut:
        if (m_state == Playing) {
            m_playedToEnd = true;
            setState(Stopped);
        }
        break;
    }
}
