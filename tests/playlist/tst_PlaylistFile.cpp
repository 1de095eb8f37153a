// Playlist files read whatever wrote them, written, and refused in Basque keeping the old file.
#include "playlist/PlaylistFile.h"
#include "support/Row.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Fills a disk but for two pages, so that a save starts well and runs out part-way.
void fill(const QString& folder)
{
    QFile filler(QDir(folder).filePath(u"betegarria"_s));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray block(4096, 'x');
    while (filler.write(block) > 0) {
    }
    filler.resize(std::max<qint64>(filler.size() - 2 * 4096, 0));
}

} // namespace

class tst_PlaylistFile : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_mount;

    QString pathOf(const QString& name) const { return m_dir->filePath(name); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void cleanup()
    {
        if (!m_mount.isEmpty())
            umount2(QFile::encodeName(m_mount).constData(), MNT_DETACH);
        m_mount.clear();
    }

    // Guards a line end of any kind not ending an item, and a byte-order mark read as text at
    // the file's start or dropped anywhere else.
    void reader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("items"); // joined with '|'
        QTest::newRow("empty file") << QByteArray() << QString();
        QTest::newRow("CR LF") << QByteArray("/a\r\n/b\r\n") << u"/a|/b"_s;
        QTest::newRow("lone CR") << QByteArray("/a\r/b\r") << u"/a|/b"_s;
        QTest::newRow("lone LF") << QByteArray("/a\n/b\n") << u"/a|/b"_s;
        QTest::newRow("CR, then CR LF") << QByteArray("/a\r\r\n/b") << u"/a||/b"_s;
        QTest::newRow("CR LF twice at the end") << QByteArray("/a\r\n\r\n") << u"/a|"_s;
        QTest::newRow("#EXTM3U is an item") << QByteArray("#EXTM3U\r\n/a") << u"#EXTM3U|/a"_s;
        QTest::newRow("marks after the file's own")
            << QByteArray("\xef\xbb\xbf\xef\xbb\xbf/a\r\n\xef\xbb\xbf/b") << u"\ufeff/a|\ufeff/b"_s;
    }

    void reader()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, items);
        QCOMPARE(PlaylistFile::splitLines(bytes).join(u'|'), items);
    }

    // Guards an item not ended in CR LF, an empty list leaving the old bytes, and an awkward
    // item (spaces, '#', a mark, a byte not UTF-8) changed on its way through a file.
    void writer()
    {
        const QString path = pathOf(u"out.m3u"_s);
        QCOMPARE(PlaylistFile::write(path, {u"/a.mp3"_s, u"b c.mp3"_s}).error(), QString());
        QCOMPARE(contentsOf(path), QByteArray("/a.mp3\r\nb c.mp3\r\n"));
        QCOMPARE(PlaylistFile::write(path, {}).error(), QString());
        QCOMPARE(contentsOf(path), QByteArray());
        const QStringList awkward{u"  /musika/Lau teilatu ñü€.mp3 "_s, u"#ez iruzkina.mp3"_s,
                                  QString(), u"\ufeff/m/a.mp3"_s,
                                  u"caf"_s + QChar(0xDCE9) + u".mp3"_s};
        QCOMPARE(PlaylistFile::write(path, awkward).error(), QString());
        QCOMPARE(PlaylistFile::read(path).valueOr({}), awkward);
        QVERIFY(contentsOf(path).endsWith("\r\ncaf\xe9.mp3\r\n"));
    }

    // Fields: save or open, the disk ("" this folder, or a small one made full or read-only),
    // the name, the cause told.
    void refused_data()
    {
        Row::columns();
        Row::add("open a missing file", "open||ez-dago.m3u|ez da aurkitu (");
        Row::add("open a folder", "open||karpeta|karpeta bat da");
        Row::add("open a device", "open||gailua|ez da fitxategi arrunta");
        Row::add("save onto a folder", "save||karpeta|karpeta bat da");
        Row::add("save under a missing folder", "save||ez-dago/a.m3u|ez da aurkitu (");
        Row::add("save onto a device", "save||gailua|ez da fitxategi arrunta");
        Row::add("full disk, over the list", "save|full|zaharra.m3u|diskoa beteta dago (");
        Row::add("full disk, new name", "save|full|berria.m3u|diskoa beteta dago (");
        Row::add("read-only, over the list",
                 "save|read-only|zaharra.m3u|diskoa irakurtzeko soilik da (");
        Row::add("read-only, new name", "save|read-only|berria.m3u|diskoa irakurtzeko soilik da (");
    }

    // Guards reading a zero device, which never ends; a save beside a device renamed over it;
    // and a disk that fills up part-way cutting the old list short or leaving a file behind.
    void refused()
    {
        const Row row;
        const QString disk = row[1];
        QString folder = m_dir->path();
        if (!disk.isEmpty()) {
            m_mount = folder = pathOf(u"disk"_s);
            QDir().mkpath(m_mount);
            if (mount("ixotest", QFile::encodeName(m_mount).constData(), "tmpfs", 0, "size=64k"))
                QSKIP("cannot mount a small tmpfs here; run as root");
        }
        const QString old = QDir(folder).filePath(u"zaharra.m3u"_s);
        QCOMPARE(PlaylistFile::write(old, {u"/zahar/a.mp3"_s}).error(), QString());
        QVERIFY(QDir(folder).mkdir(u"karpeta"_s));
        if (row[2] == u"gailua"_s && mknod(QFile::encodeName(QDir(folder).filePath(row[2])),
                                           S_IFCHR | 0666, makedev(1, 5)) != 0)
            QSKIP("This machine does not let the test make a device node.");
        if (disk == u"full"_s)
            fill(folder);
        if (disk == u"read-only"_s)
            QCOMPARE(mount(nullptr, QFile::encodeName(m_mount).constData(), nullptr,
                           MS_REMOUNT | MS_RDONLY, "size=64k"),
                     0);
        const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::System);
        const QString path = QDir(folder).filePath(row[2]);
        const QString why =
            row[0] == u"save"_s
                ? PlaylistFile::write(path, QStringList(400, u"/berri/abesti luzea.mp3"_s)).error()
                : PlaylistFile::read(path).error();
        QVERIFY2(!why.isEmpty() && why.contains(row[3]), qPrintable(why));
        QCOMPARE(contentsOf(old), QByteArray("/zahar/a.mp3\r\n"));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::System), before);
    }

    // Guards a list the user may write, in a folder the user may not, refused for want of a
    // file beside it. Root may write anywhere, so the test takes a user's file rights.
    void inPlaceInReadOnlyFolder()
    {
        const QString folder = pathOf(u"partekatua"_s);
        QVERIFY(QDir().mkpath(folder));
        const auto open = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(m_dir->path(), open | QFile::WriteOwner));
        const QString list = QDir(folder).filePath(u"zerrenda.m3u"_s);
        QCOMPARE(PlaylistFile::write(list, {u"/zahar/a.mp3"_s}).error(), QString());
        const uid_t user = geteuid() == 0 ? 65534 : geteuid();
        if (geteuid() == 0)
            QCOMPARE(chown(QFile::encodeName(list).constData(), user, user), 0);
        QVERIFY(QFile::setPermissions(folder, open));
        setfsgid(user);
        setfsuid(user);
        const QString written = PlaylistFile::write(list, {u"/berri/b.mp3"_s}).error();
        const QStringList entries = QDir(folder).entryList(QDir::Files);
        setfsuid(geteuid());
        setfsgid(getegid());
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(written, QString());
        QCOMPARE(contentsOf(list), QByteArray("/berri/b.mp3\r\n"));
        QCOMPARE(entries, QStringList{u"zerrenda.m3u"_s});
    }
};

QTEST_GUILESS_MAIN(tst_PlaylistFile)
#include "tst_PlaylistFile.moc"
