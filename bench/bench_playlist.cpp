// Times the playlist's long operations on a full list of 32,767 songs and prints a table of
// medians against their targets. Run from the build folder:
//   ./bin/bench_playlist
#include "filebrowser/DirListBox.h"
#include "filebrowser/FileListBox.h"
#include "filebrowser/artxiboak.h"
#include "frame/CommonDialog.h"
#include "frame/ImageButton.h"
#include "frame/MsgBox.h"
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "playlist/zerrenda.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Runs = 7;
constexpr int BrowserFiles = 5000;
constexpr int Ticks = 10000;

struct Figure {
    const char* name;
    double medianMs;
    double targetMs;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// Runs prepare() untimed and then body() timed, Runs times; returns the median in ms.
double measure(const std::function<void()>& prepare, const std::function<void()>& body)
{
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run) {
        prepare();
        QElapsedTimer clock;
        clock.start();
        body();
        times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

QByteArray fullPlaylist()
{
    QByteArray bytes;
    for (int at = 0; at < zerrenda::MaxItems; ++at)
        bytes +=
            QStringLiteral("/home/erabiltzailea/Musika/Taldea %1/Abesti luze baten izena %2.mp3")
                .arg(at / 12)
                .arg(at)
                .toLocal8Bit() +
            "\r\n";
    return bytes;
}

class Bench {
public:
    Bench() : m_playlist(Form<zerrenda>())
    {
        WindowRegistry::instance().answers().message =
            ([](const QString&, int, const QString&) { return MsgBox::Ok; });
        WindowRegistry::instance().answers().dialog =
            ([this](const CommonDialog&, CommonDialog::Kind) { return m_chosen; });
        m_listPath = m_dir.filePath(QStringLiteral("osoa.m3u"));
        writeFile(m_listPath, fullPlaylist());
        m_songs = m_dir.filePath(QStringLiteral("abestiak"));
        QDir().mkpath(m_songs);
        for (int at = 0; at < BrowserFiles; ++at)
            writeFile(
                QStringLiteral("%1/abestia %2.mp3").arg(m_songs).arg(at, 4, 10, QLatin1Char('0')),
                {});
    }

    std::vector<Figure> run()
    {
        std::vector<Figure> figures;
        figures.push_back({"open 32,767-line playlist", openFull(), 100});
        figures.push_back({"save 32,767 items", saveFull(), 100});
        figures.push_back({"remove, every other selected", removeEveryOther(), 100});
        figures.push_back({"remove, all selected", removeAll(), 100});
        figures.push_back({"selection rule, every other selected", selectionRule(), 0});
        figures.push_back({"add 5,000 selected files", addFromBrowser(false), 200});
        figures.push_back({"add 2,500 files, every other selected", addFromBrowser(true), 200});
        figures.push_back({"one change-watch tick", changeWatchTick(), 0.1});
        figures.push_back({"one playback-monitor tick", monitorTick(), 0.1});
        return figures;
    }

private:
    void load()
    {
        m_chosen = m_listPath;
        m_playlist.imairek_baziak();
    }

    void emptyList()
    {
        m_playlist.Imagord->hide();
        m_playlist.Imaberr_MouseUp();
    }

    static void selectEveryOther(QListWidget* list)
    {
        QItemSelection selection;
        for (int row = 0; row < list->count(); row += 2)
            selection.select(list->model()->index(row, 0), list->model()->index(row, 0));
        list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    }

    // Selects the rows for which pick(row) holds, as one change, the way a range selection
    // made by the user arrives.
    void selectWhere(const std::function<bool(int)>& pick)
    {
        QItemSelection selection;
        QAbstractItemModel* model = m_playlist.lista->model();
        for (int row = 0; row < m_playlist.ListCount(); ++row) {
            if (pick(row))
                selection.select(model->index(row, 0), model->index(row, 0));
        }
        m_playlist.lista->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    }

    double openFull()
    {
        return measure([this] { emptyList(); }, [this] { load(); });
    }

    double saveFull()
    {
        load();
        m_chosen = m_dir.filePath(QStringLiteral("gordea.m3u"));
        return measure([] {}, [this] { m_playlist.Imagord_baziak(); });
    }

    double removeEveryOther()
    {
        return measure(
            [this] {
                load();
                selectWhere([](int row) { return row % 2 == 0; });
            },
            [this] { m_playlist.Imakend_MouseUp(); });
    }

    double removeAll()
    {
        return measure(
            [this] {
                load();
                m_playlist.lista->selectAll();
            },
            [this] { m_playlist.Imakend_MouseUp(); });
    }

    double selectionRule()
    {
        return measure(
            [this] {
                load();
                selectWhere([](int row) { return row % 2 == 0; });
            },
            [this] { m_playlist.lista_Click(); });
    }

    double addFromBrowser(bool everyOther)
    {
        return measure(
            [this, everyOther] {
                emptyList();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                artxiboak& browser = Form<artxiboak>();
                browser.karpeta->setPath(m_songs);
                if (everyOther)
                    selectEveryOther(browser.artxi);
                else
                    browser.artxi->selectAll();
            },
            [] { Form<artxiboak>().Imagehitu_MouseUp(); });
    }

    double changeWatchTick()
    {
        load();
        return measure([] {},
                       [this] {
                           for (int tick = 0; tick < Ticks; ++tick)
                               m_playlist.Timi3_Timer();
                       }) /
               Ticks;
    }

    // The monitor with the bar at song 16,384 of a full list and nothing playing.
    double monitorTick()
    {
        load();
        Mahaia& bar = Form<Mahaia>();
        bar.Lblabe->setText(QStringLiteral("16384/32767"));
        return measure([] {},
                       [&bar] {
                           for (int tick = 0; tick < Ticks; ++tick)
                               bar.Timi_Timer();
                       }) /
               Ticks;
    }

    zerrenda& m_playlist;
    QTemporaryDir m_dir;
    QString m_listPath;
    QString m_songs;
    QString m_chosen;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::vector<Figure> figures = Bench().run();
    std::printf("%-40s %12s %10s\n", "operation (median of 7)", "ms", "target ms");
    bool allMet = true;
    for (const Figure& figure : figures) {
        const bool met = figure.targetMs <= 0 || figure.medianMs <= figure.targetMs;
        allMet = allMet && met;
        if (figure.targetMs > 0)
            std::printf("%-40s %12.6f %10.1f %s\n", figure.name, figure.medianMs, figure.targetMs,
                        met ? "ok" : "MISSED");
        else
            std::printf("%-40s %12.6f %10s\n", figure.name, figure.medianMs, "-");
    }
    WindowRegistry::instance().unloadAll();
    return allMet ? 0 : 1;
}
