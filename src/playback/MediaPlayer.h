#pragma once

#include "MediaComponent.h"

class MediaPlayer : public MediaComponent {
    Q_OBJECT

public:
    using MediaComponent::MediaComponent;
    [[nodiscard]] QString CurrentFile() const override { return m_file; }
    void setCurrentFile(const QString& path) override { m_file = path; }
    [[nodiscard]] double Position() const override { return 0; }
    [[nodiscard]] double Duration() const override { return 0; }
    [[nodiscard]] int PlayState() const override { return 0; }
    [[nodiscard]] int Volume() const override { return m_volume; }
    void setVolume(int v) override { m_volume = v; }
    void Open(const QString& path) override { m_file = path; }
    void Play() override {}
    void Pause() override {}
    void Stop() override {}

private:
    QString m_file;
    int m_volume = 0;
};
