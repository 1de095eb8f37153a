#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QVariantMap>

class Mahaia;
class QTimer;

// The MPRIS 2 player interface (org.mpris.MediaPlayer2.Player) of the bar: media keys and the
// desktop's sound menu run the bar's transport commands, so every rule of theirs holds (no
// wrap at the ends of the list, play restarting the current song, ...). The properties are
// read from the controls and the player at the moment they are asked for; a watch sends
// PropertiesChanged when one that announces its changes differs from what was last sent.
class MprisPlayer : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(double Rate READ Rate WRITE setRate)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
    Q_PROPERTY(bool CanPlay READ CanPlay)
    Q_PROPERTY(bool CanPause READ CanPlay)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)

public:
    explicit MprisPlayer(Mahaia* bar);

    // "Playing", "Paused" or "Stopped", after the player's PlayState.
    [[nodiscard]] QString PlaybackStatus() const;
    [[nodiscard]] static double Rate() { return 1.0; }
    static void setRate(double /*rate*/) {}
    // The song at the track counter, as the bar's title shows it.
    [[nodiscard]] QVariantMap Metadata() const;
    // The volume display's percentage, 1.0 for 100.
    [[nodiscard]] double Volume() const;
    void setVolume(double volume);
    // Microseconds played of the open song.
    [[nodiscard]] qlonglong Position() const;
    [[nodiscard]] bool CanGoNext() const;
    [[nodiscard]] bool CanGoPrevious() const;
    [[nodiscard]] bool CanPlay() const;
    [[nodiscard]] static bool CanSeek() { return false; }
    [[nodiscard]] static bool CanControl() { return true; }

public slots:
    void Next();
    void Previous();
    void Pause();
    void PlayPause();
    void Stop();
    void Play();
    // Songs are not sought: CanSeek is false, and these do nothing.
    void Seek(qlonglong offset);
    void SetPosition(const QDBusObjectPath& track, qlonglong position);
    // A file:// address opens as a file given on the command line does.
    void OpenUri(const QString& uri);

signals:
    void Seeked(qlonglong Position);

private:
    // What PropertiesChanged announces, as last sent.
    struct Announced {
        QString status;
        QString track; // the counter's number, the song's path, its folder and length
        double volume = 0.0;
        bool next = false;
        bool previous = false;
        bool play = false;
        bool operator==(const Announced&) const = default;
    };
    [[nodiscard]] Announced announced() const;
    // Sends PropertiesChanged for what differs from the last sent.
    void refresh();

    Mahaia* m_bar;
    QTimer* m_watch;
    Announced m_sent;
};
