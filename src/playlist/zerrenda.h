#pragma once

#include "frame/FormWindow.h"

#include <functional>

class CommonDialog;
class ImageButton;
class QListWidget;
class QTimer;

// The playlist window. Its list box is the playlist itself: the main bar plays item k-1 as
// song k. The save button's visibility is the unsaved-changes flag.
class zerrenda : public FormWindow {
    Q_OBJECT

public:
    static constexpr int MaxItems = 32767;

    zerrenda();

    void Form_Load() override;

    QListWidget* lista = nullptr;
    QTimer* Timi3 = nullptr;
    CommonDialog* diago = nullptr;
    ImageButton* Imaberr = nullptr;
    ImageButton* Imairek = nullptr;
    ImageButton* Imagord = nullptr;
    ImageButton* Imagehi = nullptr;
    ImageButton* Imakend = nullptr;
    ImageButton* Imagora = nullptr;
    ImageButton* Imabera = nullptr;
    ImageButton* Imaitxi = nullptr;

    // The playlist as the other windows read it: an index outside the list reads as "".
    [[nodiscard]] int ListCount() const;
    [[nodiscard]] QString List(int index) const;
    // Appends at the end, up to the list's limit; what would go past it is left out and the
    // user is told so.
    void appendItems(const QStringList& items);
    // Songs chosen by the user (in the browser, or handed over by the desktop): appended, and
    // the list marked as changed.
    void addSongs(const QStringList& paths);

    void Imaberr_MouseUp();
    void Imairek_MouseUp();
    void Imagord_MouseUp();
    void Imagehi_MouseUp();
    void Imakend_MouseUp();
    void Imagora_MouseUp();
    void Imabera_MouseUp();
    void Imaitxi_MouseUp();
    void lista_Click();
    void Timi3_Timer();

    // Saves through the save dialog; true only when the file was written completely. Both
    // answer false at once while another file command of this window is running.
    bool Imagord_baziak();
    // Opens a playlist file through the open dialog in place of the list, without asking
    // about unsaved changes; true only when the file was read completely.
    bool imairek_baziak();
    // Opens a playlist file as the open button does, the save question first, with the path
    // given in place of the dialog's choice; true only when the file was read completely.
    bool OpenListFile(const QString& path);

private:
    void moveSelected(int step);

    // Runs a file command unless another one is running; false when it did not run or failed.
    bool runFileCommand(const std::function<bool()>& command);
    // Replaces the list by what fill puts there, once unsaved changes were dealt with.
    bool replaceList(const std::function<bool()>& fill);
    bool mayReplaceList();
    static int askToSaveFirst();
    bool saveList();
    bool openList();
    bool readList(const QString& path);
    bool emptyList();

    qint16 savedCount = 0;
    // The dialogs and message boxes run event loops of their own, in which a timer or another
    // window could start a second file command; while one runs, the others do nothing.
    bool m_fileCommandRunning = false;
};
