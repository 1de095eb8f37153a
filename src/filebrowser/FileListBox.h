#pragma once

#include <QListWidget>

// The file list: the files of Path that match Pattern, without regard to case, sorted by
// name, with extended selection. Setting Path reloads it and raises PathChange; a change of
// selection raises Click.
class FileListBox : public QListWidget {
    Q_OBJECT

public:
    explicit FileListBox(QWidget* parent);

    [[nodiscard]] const QString& Path() const { return m_path; }
    void setPath(const QString& folder);
    [[nodiscard]] const QString& Pattern() const { return m_pattern; }
    void setPattern(const QString& pattern);

    [[nodiscard]] int ListCount() const { return count(); }
    [[nodiscard]] QString List(int index) const;
    // The selected rows in list order, read in one pass over the selection.
    [[nodiscard]] QList<int> selectedRows() const;

signals:
    void PathChange();
    void Click();

private:
    void reload();

    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
};
