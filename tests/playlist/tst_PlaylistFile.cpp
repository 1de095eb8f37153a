#include "playlist/PlaylistFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

class tst_PlaylistFile : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString pathOf(const QString& name) const { return m_dir->filePath(name); }
    static QByteArray contentsOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void reader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("items");
        const QString a = QStringLiteral("/m/a.mp3");
        const QString b = QStringLiteral("/m/b.mp3");
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("CR LF") << QByteArray("/m/a.mp3\r\n/m/b.mp3\r\n") << QStringList{a, b};
        QTest::newRow("lone CR") << QByteArray("/m/a.mp3\r/m/b.mp3\r") << QStringList{a, b};
        QTest::newRow("lone LF") << QByteArray("/m/a.mp3\n/m/b.mp3\n") << QStringList{a, b};
        QTest::newRow("CR, then CR LF")
            << QByteArray("/m/a.mp3\r\r\n/m/b.mp3") << QStringList{a, QString(), b};
        QTest::newRow("no final terminator")
            << QByteArray("/m/a.mp3\r\n/m/b.mp3") << QStringList{a, b};
        QTest::newRow("CR LF CR LF at the end: one empty last item")
            << QByteArray("/m/a.mp3\r\n\r\n") << QStringList{a, QString()};
        QTest::newRow("#EXTM3U is an item")
            << QByteArray("#EXTM3U\r\n/m/a.mp3\r\n") << QStringList{QStringLiteral("#EXTM3U"), a};
        const QString bom(QChar(0xfeff));
        QTest::newRow("byte-order marks after the file's own stay in their items")
            << QByteArray("\xef\xbb\xbf\xef\xbb\xbf/m/a.mp3\r\n\xef\xbb\xbf\xef\xbb\xbf/m/b.mp3")
            << QStringList{bom + a, bom + bom + b};
    }

    void reader()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, items);
        QCOMPARE(PlaylistFile::splitLines(bytes), items);
    }

    // Every item ends in CR LF, an empty list leaves 0 bytes where a longer list was, and
    // awkward paths come back as they went.
    void writer()
    {
        const QString path = pathOf(QStringLiteral("out.m3u"));
        QCOMPARE(PlaylistFile::write(path, {QStringLiteral("/a.mp3"), QStringLiteral("b c.mp3")}),
                 QString());
        QCOMPARE(contentsOf(path), QByteArray("/a.mp3\r\nb c.mp3\r\n"));
        QCOMPARE(PlaylistFile::write(path, {}), QString());
        QCOMPARE(contentsOf(path), QByteArray());
        const QStringList awkward{QStringLiteral("  /musika/Itoiz/Lau teilatu ñü€.mp3 "),
                                  QStringLiteral("#ez da iruzkina.mp3"), QString(),
                                  QStringLiteral("erlatiboa.mp3"), QString()};
        QCOMPARE(PlaylistFile::write(path, awkward), QString());
        const PlaylistFile::ReadResult back = PlaylistFile::read(path);
        QCOMPARE(back.error, QString());
        QCOMPARE(back.items, awkward);
        const QStringList marked{QChar(0xfeff) + QStringLiteral("/m/a.mp3")};
        QCOMPARE(PlaylistFile::write(path, marked), QString());
        QCOMPARE(PlaylistFile::read(path).items, marked);
    }

    void refused_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("name");
        QTest::newRow("open a missing file") << false << QStringLiteral("ez-dago.m3u");
        QTest::newRow("open a folder") << false << QStringLiteral("karpeta");
        QTest::newRow("open a device") << false << QStringLiteral("zero");
        QTest::newRow("save onto a folder") << true << QStringLiteral("karpeta");
        QTest::newRow("save under a missing folder") << true << QStringLiteral("ez-dago/a.m3u");
        QTest::newRow("save onto a device") << true << QStringLiteral("zero");
        QTest::newRow("save onto a full disk") << true << QStringLiteral("zaharra.m3u");
    }

    // What cannot be read or written is refused with a reason and left as it was: reading a
    // zero device would never end, saving beside a device and renaming would swap it for a
    // plain file, and a disk that fills up part-way must not cut the old list short.
    void refused()
    {
        QFETCH(bool, save);
        QFETCH(QString, name);
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("karpeta")));
        const QString old = pathOf(QStringLiteral("zaharra.m3u"));
        QCOMPARE(PlaylistFile::write(old, {QStringLiteral("/zahar/a.mp3")}), QString());
        const QByteArray device = QFile::encodeName(pathOf(QStringLiteral("zero")));
        if (mknod(device.constData(), S_IFCHR | 0666, makedev(1, 5)) != 0 &&
            name == QStringLiteral("zero"))
            QSKIP("This machine does not let the test make a device node.");
        if (save) {
            rlimit normal{};
            getrlimit(RLIMIT_FSIZE, &normal);
            rlimit nearlyFull = normal;
            nearlyFull.rlim_cur = name == QStringLiteral("zaharra.m3u") ? 64 : normal.rlim_cur;
            std::signal(SIGXFSZ, SIG_IGN);
            setrlimit(RLIMIT_FSIZE, &nearlyFull);
            const QString why = PlaylistFile::write(
                pathOf(name), QStringList(200, QStringLiteral("/berri/abesti luzea.mp3")));
            setrlimit(RLIMIT_FSIZE, &normal);
            QVERIFY(!why.isEmpty());
        } else {
            const PlaylistFile::ReadResult result = PlaylistFile::read(pathOf(name));
            QVERIFY(!result.error.isEmpty());
            QVERIFY(result.items.isEmpty());
        }
        struct stat status {};
        QVERIFY(stat(device.constData(), &status) != 0 || S_ISCHR(status.st_mode));
        QCOMPARE(contentsOf(old), QByteArray("/zahar/a.mp3\r\n"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
                 (QStringList{QStringLiteral("karpeta"), QStringLiteral("zaharra.m3u")}));
    }
};

QTEST_GUILESS_MAIN(tst_PlaylistFile)
#include "tst_PlaylistFile.moc"
