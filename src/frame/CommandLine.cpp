#include "CommandLine.h"

#include "PathBytes.h"

#include <QDir>
#include <cstdio>

#ifndef IXO_VERSION
#define IXO_VERSION "unknown"
#endif

CommandLine::CommandLine(int argc, const char* const* argv)
{
    const QString folder = PathBytes::currentFolder();
    bool optionsEnded = false;
    for (int at = 1; at < argc; ++at) {
        const QString argument = PathBytes::fromBytes(QByteArrayView(argv[at]));
        if (!optionsEnded && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            if (argument == QStringLiteral("--")) {
                optionsEnded = true;
            } else if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) {
                m_action = Action::Help;
                return;
            } else if (argument == QStringLiteral("--version")) {
                m_action = Action::Version;
                return;
            } else {
                m_action = Action::Refuse;
                m_refused = argument;
                return;
            }
            continue;
        }
        // The folder is read through its bytes, so a name that is not UTF-8 in it survives.
        m_files << (argument.startsWith(QLatin1Char('/'))
                        ? QDir::cleanPath(argument)
                        : QDir::cleanPath(folder + QLatin1Char('/') + argument));
    }
}

QString CommandLine::helpText()
{
    return QStringLiteral(
        "Usage: ixomp3 [OPTION]... [FILE]...\n"
        "A small always-on-top MP3 player with a Basque interface.\n"
        "\n"
        "Each MP3 FILE is added to the end of the playlist, and the first of them is played.\n"
        "A playlist FILE (.m3u) is opened in place of the list, as the playlist window's open\n"
        "button opens one (asking first to save a list with unsaved changes), and played from\n"
        "its first song. A FILE that cannot be read is refused with a message.\n"
        "\n"
        "One player runs in a desktop session: while one runs, ixomp3 hands the FILEs to it\n"
        "and ends, or with no FILE brings its bar back from the tray. The player is also\n"
        "driven over D-Bus as org.mpris.MediaPlayer2.ixomp3 (media keys, sound menus).\n"
        "\n"
        "  -h, --help     print this help and exit\n"
        "      --version  print the version and exit\n"
        "      --         take every argument after it as a FILE\n"
        "\n"
        "Exit status: 0 when the player ends by its exit command or the FILEs were handed to\n"
        "the running player; 1 when the running player did not answer; 2 for a wrong option.\n");
}

QString CommandLine::versionText()
{
    return QStringLiteral("ixomp3 " IXO_VERSION "\n");
}

int CommandLine::finish() const
{
    switch (m_action) {
    case Action::Help:
        std::fputs(helpText().toLocal8Bit().constData(), stdout);
        return 0;
    case Action::Version:
        std::fputs(versionText().toLocal8Bit().constData(), stdout);
        return 0;
    case Action::Refuse:
        std::fprintf(stderr, "ixomp3: unknown option %s\nTry 'ixomp3 --help' for more.\n",
                     PathBytes::toBytes(m_refused).constData());
        return 2;
    case Action::Run:
        break;
    }
    return 0;
}
