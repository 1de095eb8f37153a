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
    void setCurrentFile(const QString& path) override;
    [[nodiscard]] double Position() const override { return position; }
    [[nodiscard]] double Duration() const override { return duration; }
    [[nodiscard]] int PlayState() const override { return state; }
    [[nodiscard]] int Volume() const override { return volume; }
    void setVolume(int hundredthsOfDb) override { volume = hundredthsOfDb; }
    void Open(const QString& path) override;
    void Play() override;
    void Pause() override;
    void Stop() override;

    // Sets the state and raises PlayStateChanged, as the real player does.
    void changeState(int newState);
};
