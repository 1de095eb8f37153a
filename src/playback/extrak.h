#pragma once

#include "frame/FormWindow.h"

class MediaComponent;
class SysInfo;
class QTimer;

// The hidden window that hosts the media player and the work-area source, and reacts to
// playback on its own: the next song when one ends, the title blink while paused.
class extrak : public FormWindow {
    Q_OBJECT

public:
    extrak();

    MediaComponent* Medi = nullptr;
    SysInfo* info = nullptr;
    QTimer* Timi2 = nullptr;

    void Medi_SongEnded(int result);
    void Medi_PlayStateChanged(int oldState, int newState);
    void Timi2_Timer();
};
