#include "MprisPlayer.h"

#include "Mahaia.h"
#include "frame/PathBytes.h"
#include "frame/WindowRegistry.h"
#include "playback/MediaComponent.h"
#include "playback/TrackText.h"
#include "playback/extrak.h"
#include "playlist/zerrenda.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace {

// As often as the bar's own playback monitor looks.
constexpr int WatchIntervalMs = 100;

MediaComponent& medi()
{
    return *Form<extrak>().Medi;
}

zerrenda& playlist()
{
    return Form<zerrenda>();
}

// The address of a path, byte for byte: a name that is not UTF-8 keeps its bytes, escaped.
QString fileUrl(const QString& path)
{
    const QString absolute = path.startsWith(QLatin1Char('/'))
                                 ? path
                                 : PathBytes::currentFolder() + QLatin1Char('/') + path;
    return QStringLiteral("file://") +
           QString::fromLatin1(PathBytes::toBytes(absolute).toPercentEncoding("/"));
}

qlonglong microseconds(double seconds)
{
    return std::isfinite(seconds) ? std::llround(seconds * 1e6) : 0;
}

} // namespace

MprisPlayer::MprisPlayer(Mahaia* bar)
    : QDBusAbstractAdaptor(bar), m_bar(bar), m_watch(new QTimer(this)), m_sent(announced())
{
    m_watch->setInterval(WatchIntervalMs);
    connect(m_watch, &QTimer::timeout, this, &MprisPlayer::refresh);
    connect(&medi(), &MediaComponent::PlayStateChanged, this, &MprisPlayer::refresh);
    m_watch->start();
}

QString MprisPlayer::PlaybackStatus() const
{
    switch (medi().PlayState()) {
    case MediaComponent::Playing:
        return QStringLiteral("Playing");
    case MediaComponent::Paused:
        return QStringLiteral("Paused");
    default:
        return QStringLiteral("Stopped");
    }
}

QVariantMap MprisPlayer::Metadata() const
{
    const int track = m_bar->ReadTrackNumber();
    const QString path = playlist().List(track - 1);
    if (path.isEmpty())
        return {{QStringLiteral("mpris:trackid"),
                 QVariant::fromValue(QDBusObjectPath(
                     QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack")))}};
    QVariantMap song{
        {QStringLiteral("mpris:trackid"),
         QVariant::fromValue(
             QDBusObjectPath(QStringLiteral("/org/example/ixomp3/track/%1").arg(track)))},
        {QStringLiteral("xesam:title"), TrackText::TitleFromPath(path)},
        {QStringLiteral("xesam:url"), fileUrl(path)},
    };
    // The length is known only of the song that is open.
    if (medi().CurrentFile() == path && medi().Duration() > 0)
        song.insert(QStringLiteral("mpris:length"), microseconds(medi().Duration()));
    return song;
}

double MprisPlayer::Volume() const
{
    return TrackText::VolumePercent(medi().Volume()) / 100.0;
}

void MprisPlayer::setVolume(double volume)
{
    if (!std::isfinite(volume))
        return;
    const auto percent = static_cast<int>(std::clamp(std::lround(volume * 100), 0L, 100L));
    medi().setVolume((percent - 100) * 100);
    refresh();
}

qlonglong MprisPlayer::Position() const
{
    return microseconds(medi().Position());
}

bool MprisPlayer::CanGoNext() const
{
    return m_bar->ReadTrackNumber() + 1 <= playlist().ListCount();
}

bool MprisPlayer::CanGoPrevious() const
{
    return m_bar->ReadTrackNumber() > 1;
}

bool MprisPlayer::CanPlay() const
{
    return playlist().ListCount() > 0;
}

void MprisPlayer::Next()
{
    m_bar->NextSong();
    refresh();
}

void MprisPlayer::Previous()
{
    m_bar->PreviousSong();
    refresh();
}

void MprisPlayer::Pause()
{
    if (medi().PlayState() == MediaComponent::Playing)
        m_bar->PauseResume();
    refresh();
}

// Stopped, pause/resume would do nothing; play starts the current song instead.
void MprisPlayer::PlayPause()
{
    const int state = medi().PlayState();
    if (state == MediaComponent::Playing || state == MediaComponent::Paused)
        m_bar->PauseResume();
    else
        m_bar->PlayCurrent();
    refresh();
}

void MprisPlayer::Stop()
{
    m_bar->StopPlayback();
    refresh();
}

// Playing already, it goes on: MPRIS's Play never restarts a song.
void MprisPlayer::Play()
{
    const int state = medi().PlayState();
    if (state == MediaComponent::Paused)
        m_bar->PauseResume();
    else if (state != MediaComponent::Playing)
        m_bar->PlayCurrent();
    refresh();
}

void MprisPlayer::Seek(qlonglong /*offset*/) {}

void MprisPlayer::SetPosition(const QDBusObjectPath& /*track*/, qlonglong /*position*/) {}

void MprisPlayer::OpenUri(const QString& uri)
{
    const QUrl address(uri, QUrl::StrictMode);
    if (!address.isValid() || !address.isLocalFile())
        return;
    const QString path = PathBytes::fromBytes(
        QByteArray::fromPercentEncoding(address.path(QUrl::FullyEncoded).toLatin1()));
    // After the reply: a save question may come first.
    QMetaObject::invokeMethod(
        m_bar, [bar = m_bar, path] { bar->OpenFiles({path}); }, Qt::QueuedConnection);
}

// The song is told by what its metadata is made of, not by the metadata, which the watch
// would otherwise build and throw away ten times a second.
MprisPlayer::Announced MprisPlayer::announced() const
{
    Announced now;
    now.status = PlaybackStatus();
    const int track = m_bar->ReadTrackNumber();
    const QString path = playlist().List(track - 1);
    if (!path.isEmpty()) {
        const bool open = medi().CurrentFile() == path && medi().Duration() > 0;
        now.track = QString::number(track) + QLatin1Char(' ') + path + QLatin1Char(' ') +
                    (path.startsWith(QLatin1Char('/')) ? QString() : PathBytes::currentFolder()) +
                    QLatin1Char(' ') +
                    (open ? QString::number(microseconds(medi().Duration())) : QString());
    }
    now.volume = Volume();
    now.next = CanGoNext();
    now.previous = CanGoPrevious();
    now.play = CanPlay();
    return now;
}

void MprisPlayer::refresh()
{
    const Announced now = announced();
    if (now == m_sent)
        return;
    QVariantMap changed;
    if (now.status != m_sent.status)
        changed.insert(QStringLiteral("PlaybackStatus"), now.status);
    if (now.track != m_sent.track)
        changed.insert(QStringLiteral("Metadata"), Metadata());
    if (now.volume != m_sent.volume)
        changed.insert(QStringLiteral("Volume"), now.volume);
    if (now.next != m_sent.next)
        changed.insert(QStringLiteral("CanGoNext"), now.next);
    if (now.previous != m_sent.previous)
        changed.insert(QStringLiteral("CanGoPrevious"), now.previous);
    if (now.play != m_sent.play) {
        changed.insert(QStringLiteral("CanPlay"), now.play);
        changed.insert(QStringLiteral("CanPause"), now.play);
    }
    m_sent = now;
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/org/mpris/MediaPlayer2"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    signal << QStringLiteral("org.mpris.MediaPlayer2.Player") << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}
