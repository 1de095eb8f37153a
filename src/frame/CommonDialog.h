#pragma once

#include <QObject>
#include <QString>
#include <functional>

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

    enum class Kind { Open, Save };
    // Stands in for the dialog on screen: given the dialog as set up, returns the chosen path
    // ("" for cancel). Tests use it to choose without a window.
    using Chooser = std::function<QString(const CommonDialog&, Kind)>;

    using QObject::QObject;

    int Flags = 0;
    QString Filter;
    QString DialogTitle;
    QString FileName;
    QString InitDir;

    [[nodiscard]] bool ShowOpen() { return show(Kind::Open); }
    [[nodiscard]] bool ShowSave() { return show(Kind::Save); }

    void setChooser(Chooser chooser) { m_chooser = std::move(chooser); }

    // "Description|pattern|..." as Qt's name filters.
    [[nodiscard]] QStringList nameFilters() const;

private:
    bool show(Kind kind);
    [[nodiscard]] QString runDialog(Kind kind) const;

    Chooser m_chooser;
};
