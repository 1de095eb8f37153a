#include "ScriptedMedia.h"

void ScriptedMedia::setCurrentFile(const QString& path)
{
    if (path.isEmpty() && file.isEmpty())
        return;
    if (path.isEmpty()) {
        calls << QStringLiteral("Close");
        file.clear();
        changeState(Stopped);
        return;
    }
    Open(path);
}

void ScriptedMedia::Open(const QString& path)
{
    calls << QStringLiteral("Open(") + path + QLatin1Char(')');
    file = path;
    position = 0;
    if (onOpen)
        onOpen();
    changeState(Playing);
}

void ScriptedMedia::Play()
{
    calls << QStringLiteral("Play");
    if (state == Paused)
        changeState(Playing);
}

void ScriptedMedia::Pause()
{
    calls << QStringLiteral("Pause");
    if (state == Playing)
        changeState(Paused);
}

void ScriptedMedia::Stop()
{
    calls << QStringLiteral("Stop");
    changeState(Stopped);
}

void ScriptedMedia::changeState(int newState)
{
    const int oldState = state;
    state = newState;
    if (oldState != newState)
        emit PlayStateChanged(oldState, newState);
}
