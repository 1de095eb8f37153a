// The transport commands and the playback monitor of the main bar. They work only on the
// track counter, the playlist and the player; the displays follow on the monitor's next tick.
#include "Mahaia.h"
#include "frame/ImageButton.h"
#include "frame/WindowRegistry.h"
#include "playback/MediaComponent.h"
#include "playback/TrackText.h"
#include "playback/extrak.h"
#include "playlist/zerrenda.h"

#include <QLabel>

namespace {

MediaComponent& medi()
{
    return *Form<extrak>().Medi;
}

zerrenda& playlist()
{
    return Form<zerrenda>();
}

// Leaves the label alone when its text is already right, so a tick repaints nothing.
void setCaption(QLabel* label, const QString& text)
{
    if (label->text() != text)
        label->setText(text);
}

QString counterText(int track, int count)
{
    return QString::number(track) + QLatin1Char('/') + QString::number(count);
}

} // namespace

int Mahaia::ReadTrackNumber() const
{
    return TrackText::leadingNumber(TrackText::counterPrefix(Lblabe->text()));
}

void Mahaia::OpenTrack(int track)
{
    Lblabe->setText(counterText(track, playlist().ListCount()));
    medi().Open(playlist().List(track - 1));
}

void Mahaia::PlayCurrent()
{
    if (playlist().ListCount() == 0)
        return;
    medi().Open(playlist().List(ReadTrackNumber() - 1));
}

void Mahaia::PauseResume()
{
    const int state = medi().PlayState();
    if (state == MediaComponent::Paused)
        medi().Play();
    else if (state == MediaComponent::Playing)
        medi().Pause();
}

void Mahaia::StopPlayback()
{
    medi().Stop();
    Lblden->setText(QString());
}

void Mahaia::PreviousSong()
{
    const int state = medi().PlayState();
    const int track = ReadTrackNumber();
    if (track <= 1)
        return;
    if (state == MediaComponent::Playing)
        OpenTrack(track - 1);
    else
        Lblabe->setText(counterText(track - 1, playlist().ListCount()));
}

void Mahaia::NextSong()
{
    const int state = medi().PlayState();
    const int track = ReadTrackNumber();
    const int count = playlist().ListCount();
    if (track + 1 > count)
        return;
    if (state == MediaComponent::Playing)
        OpenTrack(track + 1);
    else
        Lblabe->setText(counterText(track + 1, count));
}

void Mahaia::Imaatze_MouseUp()
{
    LoadButtonIcon(Imaatze, QStringLiteral("atzea.ico"));
    PreviousSong();
}

// The play button gets its normal picture back only after the song was opened.
void Mahaia::Imahasi_MouseUp()
{
    PlayCurrent();
    LoadButtonIcon(Imahasi, QStringLiteral("play.ico"));
}

void Mahaia::Imapaus_MouseUp()
{
    LoadButtonIcon(Imapaus, QStringLiteral("pause.ico"));
    PauseResume();
}

void Mahaia::Imastop_MouseUp()
{
    LoadButtonIcon(Imastop, QStringLiteral("stop.ico"));
    StopPlayback();
}

void Mahaia::Imaaurr_MouseUp()
{
    LoadButtonIcon(Imaaurr, QStringLiteral("aurrea.ico"));
    NextSong();
}

// The playback monitor. It runs ten times a second for as long as the program lives, so a
// tick that changes nothing must cost next to nothing.
void Mahaia::Timi_Timer()
{
    const int count = playlist().ListCount();
    if (count == 0) {
        setCaption(Lblabe, QStringLiteral("0/0"));
        setCaption(Lblden, QString());
        setCaption(Lblinfo, QStringLiteral("Ez dago abestirik..."));
        medi().setCurrentFile(QString());
    } else if (Lblabe->text() == QStringLiteral("0/0")) {
        setCaption(Lblabe, counterText(1, count));
    } else {
        const QString track = TrackText::counterPrefix(Lblabe->text());
        const QString path = playlist().List(TrackText::leadingNumber(track) - 1);
        setCaption(Lblabe, track + QLatin1Char('/') + QString::number(playlist().ListCount()));
        setCaption(Lblinfo, TrackText::TitleFromPath(path));
        if (medi().PlayState() == MediaComponent::Playing)
            setCaption(Lblden, TrackText::FormatTime(medi().Position()) + QLatin1Char('/') +
                                   TrackText::FormatTime(medi().Duration()));
        else
            setCaption(Lblden, QString());
    }
    setCaption(Lblahot,
               QStringLiteral("% ") + QString::number(TrackText::VolumePercent(medi().Volume())));
}
