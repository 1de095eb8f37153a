#include "extrak.h"

#include "MediaPlayer.h"
#include "SysInfo.h"
#include "TrackText.h"
#include "frame/Design.h"
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "playlist/zerrenda.h"

#include <QLabel>
#include <QTimer>

namespace {

MediaComponent* mediaFor(QObject* host)
{
    const auto& given = WindowRegistry::instance().answers().media;
    return given ? given(host) : new MediaPlayer(host);
}

} // namespace

extrak::extrak()
    : FormWindow(QStringLiteral("extrak"), 1305, 645, FrameStyle::Thin), Medi(mediaFor(this)),
      info(new SysInfo(this)), Timi2(Design::timer(this, QStringLiteral("Timi2"), 500, false))
{
    connect(Timi2, &QTimer::timeout, this, &extrak::Timi2_Timer);
    connect(Medi, &MediaComponent::SongEnded, this, &extrak::Medi_SongEnded);
    connect(Medi, &MediaComponent::PlayStateChanged, this, &extrak::Medi_PlayStateChanged);
}

// Moves on from the track counter, not from the file that ended: the counter may have moved
// while the song played.
void extrak::Medi_SongEnded(int /*result*/)
{
    Mahaia& bar = Form<Mahaia>();
    const int next = bar.ReadTrackNumber() + 1;
    if (next > Form<zerrenda>().ListCount())
        return;
    bar.OpenTrack(next);
}

// Exactly one of the monitor and the title blink runs: the blink while paused.
void extrak::Medi_PlayStateChanged(int /*oldState*/, int /*newState*/)
{
    QTimer* monitor = Form<Mahaia>().Timi;
    if (Medi->PlayState() == MediaComponent::Paused) {
        Timi2->start();
        monitor->stop();
    } else {
        if (!monitor->isActive())
            monitor->start();
        Timi2->stop();
    }
}

// While paused, the title of the file actually open shows and hides by turns.
void extrak::Timi2_Timer()
{
    QLabel* title = Form<Mahaia>().Lblinfo;
    title->setText(title->text().isEmpty() ? TrackText::TitleFromPath(Medi->CurrentFile())
                                           : QString());
}
