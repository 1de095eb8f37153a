#include "extrak.h"

#include "MediaPlayer.h"
#include "SysInfo.h"
#include "frame/Design.h"

#include <QTimer>

extrak::extrak()
    : FormWindow(QStringLiteral("extrak"), 1305, 645, FrameStyle::Thin),
      Medi(new MediaPlayer(this)), info(new SysInfo(this)),
      Timi2(Design::timer(this, QStringLiteral("Timi2"), 500, false))
{
    connect(Timi2, &QTimer::timeout, this, &extrak::Timi2_Timer);
    connectMedi();
}

void extrak::replaceMedi(MediaComponent* component)
{
    delete Medi;
    Medi = component;
    Medi->setParent(this);
    connectMedi();
}

void extrak::connectMedi()
{
    connect(Medi, &MediaComponent::SongEnded, this, &extrak::Medi_SongEnded);
    connect(Medi, &MediaComponent::PlayStateChanged, this, &extrak::Medi_PlayStateChanged);
}

void extrak::Medi_SongEnded(int /*result*/) {}

void extrak::Medi_PlayStateChanged(int /*oldState*/, int /*newState*/) {}

void extrak::Timi2_Timer() {}
