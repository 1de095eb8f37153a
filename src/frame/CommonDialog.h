#pragma once

#include "PlatformAnswers.h"

#include <QObject>
#include <QString>

// The open and save dialogs, with the properties a caller sets before showing one. ShowOpen and
// ShowSave report whether a path was chosen; FileName then holds it. A cancel leaves FileName
// as it was, so every dialog starts at the path chosen last. A chosen path also becomes the
// process's current folder, so relative names in a list resolve against the list's own folder
// and a browser opened afterwards starts there.
class CommonDialog : public QObject {
    Q_OBJECT

public:
    static constexpr int OverwritePrompt = 0x2;
    static constexpr int HideReadOnly = 0x4;
    static constexpr int FileMustExist = 0x1000;
    static constexpr int Explorer = 0x80000;
    static constexpr int LongNames = 0x200000;

    using Kind = PlatformAnswers::DialogKind;

    using QObject::QObject;

    int Flags = 0;
    QString Filter;
    QString DialogTitle;
    QString FileName;
    QString InitDir;

    [[nodiscard]] bool ShowOpen() { return show(Kind::Open); }
    [[nodiscard]] bool ShowSave() { return show(Kind::Save); }
    // What choosing a path does, for a path the user chose elsewhere (on the command line).
    void choose(const QString& path);

    // "Description|pattern|..." as Qt's name filters.
    [[nodiscard]] QStringList nameFilters() const;

private:
    bool show(Kind kind);
    [[nodiscard]] QString runDialog(Kind kind) const;
};
