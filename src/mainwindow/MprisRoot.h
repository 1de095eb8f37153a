#pragma once

#include <QDBusAbstractAdaptor>
#include <QStringList>

class Mahaia;

// The MPRIS 2 root interface (org.mpris.MediaPlayer2) of the bar, on the session bus at
// /org/mpris/MediaPlayer2: the desktop's sound menu raises the bar and quits the program
// through the bar's own commands.
class MprisRoot : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

public:
    explicit MprisRoot(Mahaia* bar);

    [[nodiscard]] static bool CanQuit() { return true; }
    [[nodiscard]] static bool CanRaise() { return true; }
    [[nodiscard]] static bool HasTrackList() { return false; }
    [[nodiscard]] static QString Identity();
    [[nodiscard]] static QString DesktopEntry();
    [[nodiscard]] static QStringList SupportedUriSchemes();
    [[nodiscard]] static QStringList SupportedMimeTypes();

public slots:
    // The bar back from the tray, or shown and on top.
    void Raise();
    // The exit command, save question included; it runs once the call has been answered.
    void Quit();

private:
    Mahaia* m_bar;
};
