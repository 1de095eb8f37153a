#include "ScriptedMedia.h"

void ScriptedMedia::setCurrentFile(const QString& path)
{
    if (!path.isEmpty())
        return Open(path);
    if (file.isEmpty())
        return;
    file.clear();
    record(u"Close", Stopped);
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

void ScriptedMedia::record(QStringView call, int newState)
{
    calls << call.toString();
    changeState(newState);
}

void ScriptedMedia::changeState(int newState)
{
    const int oldState = state;
    state = newState;
    if (oldState != newState)
        emit PlayStateChanged(oldState, newState);
}
