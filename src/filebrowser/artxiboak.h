#pragma once

#include "frame/FormWindow.h"

class DirListBox;
class DriveListBox;
class FileListBox;
class ImageButton;

// The file browser: a drive, a folder and a file list from which songs are added to the
// playlist. Its add button destroys it; the next opening builds it anew.
class artxiboak : public FormWindow {
    Q_OBJECT

public:
    artxiboak();

    void Form_Load() override;
    void Form_Activate() override;

    DriveListBox* unitatea = nullptr;
    DirListBox* karpeta = nullptr;
    FileListBox* artxi = nullptr;
    ImageButton* Imagehitu = nullptr;
    ImageButton* Imautzi = nullptr;

    void unitatea_Change();
    void karpeta_Change();
    void artxi_PathChange();
    void artxi_Click();
    void Imagehitu_MouseUp();
    void Imautzi_MouseUp();

private:
    static QString fallbackDrive();
};
