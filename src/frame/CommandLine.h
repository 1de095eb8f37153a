#pragma once

#include <QString>
#include <QStringList>

// What the program was started with: `ixomp3 [FILE...]`, or an option that prints and ends.
// Read from the raw arguments before any window or display exists, so --help works without
// one. File names keep their bytes (PathBytes) and are made absolute against the caller's
// folder, so they mean the same to another instance running elsewhere.
class CommandLine {
public:
    enum class Action { Run, Help, Version, Refuse };

    CommandLine(int argc, const char* const* argv);

    [[nodiscard]] Action action() const { return m_action; }
    // The files to open, in the order given.
    [[nodiscard]] const QStringList& files() const { return m_files; }
    // For an action other than Run: prints what it says and gives the exit status.
    [[nodiscard]] int finish() const;

    [[nodiscard]] static QString helpText();
    [[nodiscard]] static QString versionText();

private:
    Action m_action = Action::Run;
    QString m_refused;
    QStringList m_files;
};
