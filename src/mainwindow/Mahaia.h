#pragma once

#include "frame/FormWindow.h"

#include <array>
#include <chrono>

class ImageButton;
class TrayIcon;
class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPaintEvent;
class QTimer;

// The main bar: track counter, title, time and volume over a row of image buttons. It drives
// playback through the commands below, which the tray menu runs as well.
class Mahaia : public FormWindow {
    Q_OBJECT

public:
    Mahaia();

    void Form_Load() override;
    void Form_Activate() override;

    QLabel* Lblabe = nullptr;
    QLabel* Lblinfo = nullptr;
    QLabel* Lblden = nullptr;
    QLabel* Lblahot = nullptr;
    QFrame* Shape1 = nullptr;
    ImageButton* Imagora = nullptr;
    ImageButton* Imabera = nullptr;
    ImageButton* Imaatze = nullptr;
    ImageButton* Imahasi = nullptr;
    ImageButton* Imapaus = nullptr;
    ImageButton* Imastop = nullptr;
    ImageButton* Imaaurr = nullptr;
    ImageButton* Imazerr = nullptr;
    ImageButton* Imabehe = nullptr;
    ImageButton* Imaegil = nullptr;
    ImageButton* Imairte = nullptr;
    QTimer* Timi = nullptr;
    QTimer* Timibera = nullptr;
    QTimer* timigora = nullptr;
    QMenu* menua = nullptr;
    std::array<QAction*, 7> menu{};
    TrayIcon* tray = nullptr;

    // Button handlers.
    void Imaatze_MouseUp();
    void Imahasi_MouseUp();
    void Imapaus_MouseUp();
    void Imastop_MouseUp();
    void Imaaurr_MouseUp();
    void Imazerr_MouseUp();
    void Imabehe_MouseUp();
    void Imaegil_MouseUp();
    void Imairte_MouseUp();
    void Imagora_MouseDown();
    void Imagora_MouseUp();
    void Imabera_MouseDown();
    void Imabera_MouseUp();
    void menu_Click(int Index);
    // A mouse notification of the tray icon, by its code (0x203 double click, 0x205 right
    // release, ...).
    void Tray_Notify(int code);

    // Timers.
    void Timi_Timer();
    void timigora_Timer();
    void Timibera_Timer();

    // Transport commands, shared with the tray menu and the end-of-song handler.
    [[nodiscard]] int ReadTrackNumber() const;
    void OpenTrack(int track);
    void PlayCurrent();
    void PauseResume();
    void StopPlayback();
    void PreviousSong();
    void NextSong();

    // Window commands shared by the buttons, the tray, the window manager and the desktop.
    void SendToTray();
    enum class Restore { DoubleClick, Menu };
    void RestoreFromTray(Restore variant);
    // Raises the bar into the topmost band, or drops it, in place and without activating it.
    void setTopmost(bool on);
    // The exit command: the save question over unsaved changes, then the end.
    void ExitProgram();

    // Files the desktop hands over (the command line, a later instance, MPRIS): MP3s are
    // appended and a playlist file opened as the open button does; the first song they bring
    // plays. A path that cannot be read is refused with a message.
    void OpenFiles(const QStringList& paths);

protected:
    void Form_CloseRequest() override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void createDisplay();
    void createMenu();
    void minimisedByTheDesktop();
    void tellPlacement();

    // Long enough for the compositors seen to finish placing a new window.
    static constexpr std::chrono::milliseconds PlacementSettle{1000};

    // Where Form_Load asked the window system to put the bar, in device pixels, and whether the
    // look at where it was put instead was set going yet.
    QPoint m_corner;
    bool m_placementChecked = false;
};
