#pragma once

#include <QObject>
#include <QString>
#include <functional>

// The open and save dialogs, with the properties a caller sets before showing one. After
// ShowOpen or ShowSave, FileName holds the chosen path, or "" when the user cancelled; it is
// kept otherwise, so the next dialog starts at the path chosen last.
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

    void ShowOpen() { show(Kind::Open); }
    void ShowSave() { show(Kind::Save); }

    void setChooser(Chooser chooser) { m_chooser = std::move(chooser); }

    // "Description|pattern|..." as Qt's name filters.
    [[nodiscard]] QStringList nameFilters() const;

private:
    void show(Kind kind);
    [[nodiscard]] QString runDialog(Kind kind) const;

    Chooser m_chooser;
};
