// Plays a list of songs through the real windows and player, as a user's press of play would,
// until the last song has ended, then prints what it cost.
//
//   bench_playback cost <song>...   CPU seconds and peak resident memory of the whole run
//   bench_playback gaps <song>...   silence the end-of-song chain leaves between songs,
//                                   measured in what SDL's disk driver wrote in real time
//   bench_playback list <playlist>  opens the playlist with the playlist window's open button
//                                   (its dialog answered with that path) and presses play; runs
//                                   until the list has played (beside other players, the time to
//                                   the first sound is taken from outside)
//   bench_playback song <seconds> <kbps> <hz>   makes a stereo tone song, prints its path
//
// The windows run offscreen; sound goes wherever SDL sends it (for "cost", the desktop's
// default output, e.g. a PulseAudio null sink; see bench/playback.sh).
#include "frame/CommonDialog.h"
#include "frame/Sarrera.h"
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "playback/MediaComponent.h"
#include "playback/extrak.h"
#include "playlist/zerrenda.h"
#include "support/SongFactory.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>

namespace {

constexpr int DeviceRate = 44100;

// Plays the list from the first song and returns once the chain has stopped at the last one.
// Given a playlist file instead of songs, opens it as the user would.
void playThrough(const QStringList& songs, const QString& playlist = {})
{
    Form<Sarrera>().Form_Activate();
    zerrenda& list = Form<zerrenda>();
    if (playlist.isEmpty()) {
        list.lista->addItems(songs);
    } else {
        WindowRegistry::instance().answers().dialog =
            ([&](const CommonDialog&, CommonDialog::Kind) { return playlist; });
        list.Imairek_MouseUp();
    }
    const int count = list.lista->count();
    Mahaia& bar = Form<Mahaia>();
    bar.Timi_Timer();
    MediaComponent& player = *Form<extrak>().Medi;
    const QString last = QStringLiteral("%1/%1").arg(count);
    QObject::connect(&player, &MediaComponent::PlayStateChanged, &bar, [&](int, int state) {
        if (state == MediaComponent::Stopped && bar.Lblabe->text() == last)
            QCoreApplication::exit(0);
    });
    bar.Imahasi_MouseUp();
    QApplication::exec();
}

void printCost()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf("CPU %.2f s, peak resident memory %.1f MB\n", cpu, double(usage.ru_maxrss) / 1024);
}

// Silent stretches (left channel) between the first and the last sound, longer than a tone's
// own passage through zero.
void printGaps(const QVector<float>& samples, int songs)
{
    const qsizetype frames = samples.size() / 2;
    auto silent = [&](qsizetype frame) { return std::fabs(samples.at(2 * frame)) < 1e-4F; };
    qsizetype first = 0;
    qsizetype last = frames;
    while (first < frames && silent(first))
        ++first;
    while (last > first && silent(last - 1))
        --last;
    int gaps = 0;
    double longestMs = 0;
    double totalMs = 0;
    for (qsizetype frame = first; frame < last;) {
        qsizetype run = 0;
        while (frame + run < last && silent(frame + run))
            ++run;
        if (run > 8) {
            ++gaps;
            const double ms = 1000.0 * double(run) / DeviceRate;
            longestMs = std::max(longestMs, ms);
            totalMs += ms;
        }
        frame += std::max<qsizetype>(run, 1);
    }
    std::printf("%d songs, %.2f s of sound heard; %d silent gaps, longest %.1f ms, "
                "%.2f ms per change of song\n",
                songs, double(last - first) / DeviceRate, gaps, longestMs,
                songs > 1 ? totalMs / (songs - 1) : 0.0);
}

} // namespace

int main(int argc, char* argv[])
{
    // Offscreen unless asked otherwise: beside other players the windows are shown on X.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool gaps = argc > 1 && std::strcmp(argv[1], "gaps") == 0;
    const bool fromPlaylist = argc == 3 && std::strcmp(argv[1], "list") == 0;
    QTemporaryDir scratch;
    const QString heard = scratch.filePath(QStringLiteral("heard.raw"));
    if (gaps) {
        // One 1024-frame buffer per 23 ms: real time, so the chain hands over as it would.
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(heard));
        qputenv("SDL_DISKAUDIODELAY", "23");
    }
    if (argc == 5 && std::strcmp(argv[1], "song") == 0) {
        SongFactory factory;
        const QString path = factory.song({DeviceRate, 2, std::atof(argv[2]), false, true,
                                           std::atof(argv[4]), std::atoi(argv[3])});
        std::printf("%s\n", qPrintable(path.isEmpty() ? factory.error() : path));
        return path.isEmpty() ? 1 : 0;
    }
    QApplication app(argc, argv);
    QStringList songs;
    for (int index = 2; index < argc; ++index)
        songs << QString::fromLocal8Bit(argv[index]);
    if (argc < 3 || (!gaps && !fromPlaylist && std::strcmp(argv[1], "cost") != 0)) {
        std::fprintf(stderr, "usage: %s cost|gaps <song>... | list <playlist>\n", argv[0]);
        return 2;
    }
    if (fromPlaylist)
        playThrough({}, songs.constFirst());
    else
        playThrough(songs);
    WindowRegistry::instance().unloadAll();
    if (gaps)
        printGaps(SongFactory::readHeard(heard), int(songs.size()));
    else
        printCost();
    return 0;
}
