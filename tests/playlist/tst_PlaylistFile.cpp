#include "playlist/PlaylistFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

// The playlist file format, byte for byte: how the reader cuts lines, what the writer puts on
// disk, and that a failed save leaves whatever was there before.
class tst_PlaylistFile : public QObject {
    Q_OBJECT

private slots:
    void init();
    void reader_data();
    void reader();
    void writer_data();
    void writer();
    void roundTrip();
    void unreadable_data();
    void unreadable();
    void failedSaveKeepsTarget_data();
    void failedSaveKeepsTarget();
    void fullDiskKeepsOldFile();
    void devicesAreNeitherReadNorReplaced();

private:
    QString pathOf(const QString& name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void putFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Lowers the largest file this process may write, the way a nearly full disk would stop a
// save part-way, and puts the limit back when the test ends.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_old;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

void tst_PlaylistFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_PlaylistFile::reader_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("items");
    const QString a = QStringLiteral("/m/a.mp3");
    const QString b = QStringLiteral("/m/b.mp3");
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("CR LF") << QByteArray("/m/a.mp3\r\n/m/b.mp3\r\n") << QStringList{a, b};
    QTest::newRow("empty line in the middle")
        << QByteArray("/m/a.mp3\r\n\r\n/m/b.mp3\r\n") << QStringList{a, QString(), b};
    QTest::newRow("CR LF CR LF at the end")
        << QByteArray("/m/a.mp3\r\n\r\n") << QStringList{a, QString()};
    QTest::newRow("no final terminator") << QByteArray("/m/a.mp3\r\n/m/b.mp3") << QStringList{a, b};
    QTest::newRow("LF only") << QByteArray("/m/a.mp3\n/m/b.mp3\n") << QStringList{a, b};
    QTest::newRow("CR only") << QByteArray("/m/a.mp3\r/m/b.mp3\r") << QStringList{a, b};
    QTest::newRow("mixed") << QByteArray("/m/a.mp3\n/m/b.mp3\r\r\n/m/a.mp3")
                           << QStringList{a, b, QString(), a};
    QTest::newRow("#EXTM3U first")
        << QByteArray("#EXTM3U\r\n#EXTINF:1,x\r\n/m/a.mp3\r\n")
        << QStringList{QStringLiteral("#EXTM3U"), QStringLiteral("#EXTINF:1,x"), a};
    QTest::newRow("lone CR LF") << QByteArray("\r\n") << QStringList{QString()};
    QTest::newRow("spaces kept") << QByteArray("  /m/a b.mp3 \r\n")
                                 << QStringList{QStringLiteral("  /m/a b.mp3 ")};
    QTest::newRow("UTF-8 letters") << QByteArray("/m/\xc3\xb1\xc3\xbc\xe2\x82\xac.mp3\r\n")
                                   << QStringList{QStringLiteral("/m/ñü€.mp3")};
}

void tst_PlaylistFile::reader()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, items);
    putFile(pathOf(QStringLiteral("in.m3u")), bytes);
    const PlaylistFile::ReadResult result = PlaylistFile::read(pathOf(QStringLiteral("in.m3u")));
    QCOMPARE(result.error, QString());
    QCOMPARE(result.items, items);
}

void tst_PlaylistFile::writer_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty list") << QStringList{} << QByteArray();
    QTest::newRow("three songs") << QStringList{QStringLiteral("/a.mp3"), QStringLiteral("b.mp3"),
                                                QStringLiteral("/c d.mp3")}
                                 << QByteArray("/a.mp3\r\nb.mp3\r\n/c d.mp3\r\n");
    QTest::newRow("one empty item") << QStringList{QString()} << QByteArray("\r\n");
    QTest::newRow("UTF-8 letters")
        << QStringList{QStringLiteral("/ñ/€.mp3")} << QByteArray("/\xc3\xb1/\xe2\x82\xac.mp3\r\n");
}

void tst_PlaylistFile::writer()
{
    QFETCH(QStringList, items);
    QFETCH(QByteArray, bytes);
    const QString path = pathOf(QStringLiteral("out.m3u"));
    putFile(path, QByteArray("an older and longer list\r\n"));
    QCOMPARE(PlaylistFile::write(path, items), QString());
    QCOMPARE(contentsOf(path), bytes);
}

void tst_PlaylistFile::roundTrip()
{
    const QStringList items{QStringLiteral("/musika/Mikel Laboa/Txoria txori.mp3"),
                            QStringLiteral("/musika/Itoiz/Lau teilatu ñü€.mp3"),
                            QStringLiteral("#ez da iruzkina.mp3"),
                            QString(),
                            QStringLiteral("erlatiboa.mp3"),
                            QString(),
                            QStringLiteral("/musika/Itoiz/Lau teilatu ñü€.mp3")};
    const QString path = pathOf(QStringLiteral("bidaia.m3u"));
    QCOMPARE(PlaylistFile::write(path, items), QString());
    const PlaylistFile::ReadResult back = PlaylistFile::read(path);
    QCOMPARE(back.error, QString());
    QCOMPARE(back.items, items);
}

void tst_PlaylistFile::unreadable_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("missing file") << QStringLiteral("ez-dago.m3u");
    QTest::newRow("folder") << QStringLiteral("karpeta");
    QTest::newRow("under a missing folder") << QStringLiteral("ez-dago/a.m3u");
}

void tst_PlaylistFile::unreadable()
{
    QFETCH(QString, name);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("karpeta")));
    const PlaylistFile::ReadResult result = PlaylistFile::read(pathOf(name));
    QVERIFY(!result.error.isEmpty());
    QVERIFY(result.items.isEmpty());
}

// A save that cannot be written reports why and leaves the place it aimed at as it was.
void tst_PlaylistFile::failedSaveKeepsTarget_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("target is a folder") << QStringLiteral("karpeta");
    QTest::newRow("under a missing folder") << QStringLiteral("ez-dago/a.m3u");
    QTest::newRow("read-only folder") << QStringLiteral("babestua/a.m3u");
}

void tst_PlaylistFile::failedSaveKeepsTarget()
{
    QFETCH(QString, name);
    if (name.startsWith(QStringLiteral("babestua")) && geteuid() == 0)
        QSKIP("The superuser writes into read-only folders, so this case cannot fail as root.");
    QDir dir(m_dir->path());
    QVERIFY(dir.mkdir(QStringLiteral("karpeta")));
    QVERIFY(dir.mkdir(QStringLiteral("babestua")));
    putFile(pathOf(QStringLiteral("babestua/a.m3u")), QByteArray("zaharra\r\n"));
    QVERIFY(QFile::setPermissions(pathOf(QStringLiteral("babestua")),
                                  QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QString why = PlaylistFile::write(pathOf(name), {QStringLiteral("/a.mp3")});
    QFile::setPermissions(pathOf(QStringLiteral("babestua")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!why.isEmpty());
    QVERIFY(QFileInfo(pathOf(QStringLiteral("karpeta"))).isDir());
    QVERIFY(!QFileInfo::exists(pathOf(QStringLiteral("ez-dago"))));
    QCOMPARE(contentsOf(pathOf(QStringLiteral("babestua/a.m3u"))), QByteArray("zaharra\r\n"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{});
}

// The disk fills up part-way through writing the new list.
void tst_PlaylistFile::fullDiskKeepsOldFile()
{
    const QString path = pathOf(QStringLiteral("zaharra.m3u"));
    putFile(path, QByteArray("/zahar/a.mp3\r\n"));
    const QStringList items(200, QStringLiteral("/berri/abesti luze baten izena.mp3"));
    QString why;
    {
        const FileSizeLimit nearlyFull(64);
        why = PlaylistFile::write(path, items);
    }
    QVERIFY(!why.isEmpty());
    QCOMPARE(contentsOf(path), QByteArray("/zahar/a.mp3\r\n"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
             QStringList{QStringLiteral("zaharra.m3u")});
}

// Writing beside a device and renaming would swap it for a plain file, and reading a zero
// device would never end: both are refused.
void tst_PlaylistFile::devicesAreNeitherReadNorReplaced()
{
    const QString device = pathOf(QStringLiteral("zero"));
    if (mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 5)) != 0)
        QSKIP("This machine does not let the test make a device node.");
    QVERIFY(!PlaylistFile::read(device).error.isEmpty());
    QVERIFY(!PlaylistFile::write(device, {QStringLiteral("/a.mp3")}).isEmpty());
    struct stat status {};
    QCOMPARE(stat(QFile::encodeName(device).constData(), &status), 0);
    QVERIFY(S_ISCHR(status.st_mode));
}

QTEST_GUILESS_MAIN(tst_PlaylistFile)
#include "tst_PlaylistFile.moc"
