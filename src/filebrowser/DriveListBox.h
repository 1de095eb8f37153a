#pragma once

#include <QComboBox>
#include <QStringList>

// The drive list: the system root first, then the other mounted volumes. Drive() is the root
// path of the chosen one; choosing another, by hand or by setDrive, raises Change.
class DriveListBox : public QComboBox {
    Q_OBJECT

public:
    explicit DriveListBox(QWidget* parent);

    [[nodiscard]] QString Drive() const;
    void setDrive(const QString& path);
    // The offered drive that holds a path, or "" when none does.
    [[nodiscard]] QString driveHolding(const QString& path) const;

    // The volumes this machine offers now.
    static QStringList mountedDrives();
    // Replaces the offered drives (tests offer folders that behave like drives).
    void setDrives(const QStringList& roots);

signals:
    void Change();

private:
    static QString driveOf(const QString& path, const QStringList& roots);
};
