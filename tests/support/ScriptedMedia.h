#pragma once

#include "playback/MediaComponent.h"

#include <QStringList>
#include <functional>

// A media component whose state the test sets, recording every call the program makes, for
// tests where exact player states matter.
class ScriptedMedia : public MediaComponent {
    Q_OBJECT

public:
    using MediaComponent::MediaComponent;

    QString file;
    double position = 0;
    double duration = 0;
    int state = Stopped;
    int volume = 0;
    QStringList calls;            // "Open(path)", "Play", "Pause", "Stop", "Close"
    std::function<void()> onOpen; // runs inside Open, to see what the program did first

    [[nodiscard]] QString CurrentFile() const override { return file; }
    [[nodiscard]] double Position() const override { return position; }
    [[nodiscard]] double Duration() const override { return duration; }
    [[nodiscard]] int PlayState() const override { return state; }
    [[nodiscard]] int Volume() const override { return volume; }
    void setVolume(int hundredthsOfDb) override { volume = hundredthsOfDb; }
    // An empty path closes the open file, as the real player does.
    void setCurrentFile(const QString& path) override;
    void Open(const QString& path) override;
    void Play() override { record(u"Play", state == Paused ? Playing : state); }
    void Pause() override { record(u"Pause", state == Playing ? Paused : state); }
    void Stop() override { record(u"Stop", Stopped); }

    // Sets the state and raises PlayStateChanged, as the real player does.
    void changeState(int newState);

private:
    void record(QStringView call, int newState);
};
