// Saving the playlist through its window where the disk refuses: a full filesystem, a
// read-only one, the /dev/full device. Each time the user sees "Okerra", the list stays
// marked as unsaved, and the file that was there keeps every byte.
#include "frame/CommonDialog.h"
#include "frame/ImageButton.h"
#include "frame/MsgBox.h"
#include "frame/WindowRegistry.h"
#include "playlist/PlaylistFile.h"
#include "playlist/zerrenda.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class tst_savefaults : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_mount;
    QStringList m_log;
    QString m_prompt;

    zerrenda& window() { return Form<zerrenda>(); }

    // A small filesystem of the test's own, so that filling it or making it read-only touches
    // nothing else. Needs the right to mount, which root has.
    QString mountSmallDisk()
    {
        m_mount = m_dir->filePath(u"disk"_s);
        QDir().mkpath(m_mount);
        if (mount("ixotest", QFile::encodeName(m_mount).constData(), "tmpfs", 0, "size=64k") != 0)
            return QString::fromLocal8Bit(std::strerror(errno));
        return {};
    }

    // Fills the disk but for two pages, so that a save starts well and runs out part-way.
    static void fill(const QString& folder)
    {
        QFile filler(QDir(folder).filePath(u"betegarria"_s));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'x');
        while (filler.write(block) > 0) {
        }
        filler.resize(std::max<qint64>(filler.size() - 2 * 4096, 0));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_log.clear();
        MsgBox::setAnswerer([this](const QString& prompt, int style, const QString& title) {
            m_log << u"%1(%2)"_s.arg(title).arg(style);
            m_prompt = prompt;
            return int(MsgBox::Ok);
        });
    }

    void cleanup()
    {
        WindowRegistry::instance().unloadAll();
        MsgBox::setAnswerer({});
        if (!m_mount.isEmpty())
            umount2(QFile::encodeName(m_mount).constData(), MNT_DETACH);
        m_mount.clear();
    }

    void refused_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("name");  // where the dialog points, in the small disk
        QTest::addColumn<QString>("cause"); // in the message, before the system's own words
        const QString full = u"diskoa beteta dago ("_s;
        const QString readOnly = u"diskoa irakurtzeko soilik da ("_s;
        QTest::newRow("full disk, over a list") << u"full"_s << u"zaharra.m3u"_s << full;
        QTest::newRow("full disk, new name") << u"full"_s << u"berria.m3u"_s << full;
        QTest::newRow("read-only disk, over a list")
            << u"read-only"_s << u"zaharra.m3u"_s << readOnly;
        QTest::newRow("read-only disk, new name") << u"read-only"_s << u"berria.m3u"_s << readOnly;
        QTest::newRow("/dev/full") << u"device"_s << QString() << u"ez da fitxategi arrunta"_s;
    }

    void refused()
    {
        QFETCH(QString, fault);
        QFETCH(QString, name);
        QFETCH(QString, cause);
        QString target = u"/dev/full"_s;
        QByteArray old;
        if (fault != u"device"_s) {
            if (const QString why = mountSmallDisk(); !why.isEmpty())
                QSKIP(qPrintable(u"cannot mount a small tmpfs here (%1); run as root"_s.arg(why)));
            const QString oldList = QDir(m_mount).filePath(u"zaharra.m3u"_s);
            QCOMPARE(PlaylistFile::write(oldList, {u"/zahar/a.mp3"_s, u"/zahar/b.mp3"_s}),
                     QString());
            old = contentsOf(oldList);
            if (fault == u"full"_s)
                fill(m_mount);
            else
                QCOMPARE(mount(nullptr, QFile::encodeName(m_mount).constData(), nullptr,
                               MS_REMOUNT | MS_RDONLY, "size=64k"),
                         0);
            target = QDir(m_mount).filePath(name);
        }
        const QStringList before = m_mount.isEmpty() ? QStringList() : QDir(m_mount).entryList();

        QStringList items;
        for (int at = 0; at < 400; ++at)
            items << u"/musika/berria/abesti luzea %1.mp3"_s.arg(at);
        window().appendItems(items);
        window().Imagord->show();
        window().diago->setChooser(
            [target](const CommonDialog&, CommonDialog::Kind) { return target; });
        QVERIFY(!window().Imagord_baziak());

        QCOMPARE(m_log, QStringList{u"Okerra(16)"_s});
        QVERIFY2(m_prompt.contains(cause), qPrintable(m_prompt));
        QVERIFY(!window().Imagord->isHidden());
        QCOMPARE(window().SavedCount(), 0);
        if (!m_mount.isEmpty()) {
            QCOMPARE(contentsOf(QDir(m_mount).filePath(u"zaharra.m3u"_s)), old);
            QCOMPARE(QDir(m_mount).entryList(), before);
        }
    }

    // A list the user may write, in a folder the user may not: saved in place, since nothing
    // can be made beside it. Root may write anywhere, so the test takes a user's file rights.
    void inPlaceInReadOnlyFolder()
    {
        const QString folder = m_dir->filePath(u"partekatua"_s);
        QVERIFY(QDir().mkpath(folder));
        const auto open = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(m_dir->path(), open | QFile::WriteOwner));
        const QString list = QDir(folder).filePath(u"zerrenda.m3u"_s);
        QCOMPARE(PlaylistFile::write(list, {u"/zahar/a.mp3"_s}), QString());
        const uid_t user = geteuid() == 0 ? 65534 : geteuid();
        if (geteuid() == 0)
            QCOMPARE(chown(QFile::encodeName(list).constData(), user, user), 0);
        QVERIFY(QFile::setPermissions(folder, open));
        setfsgid(user);
        setfsuid(user);
        const QString written = PlaylistFile::write(list, {u"/berri/b.mp3"_s});
        const QStringList entries = QDir(folder).entryList(QDir::Files);
        setfsuid(geteuid());
        setfsgid(getegid());
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(written, QString());
        QCOMPARE(contentsOf(list), QByteArray("/berri/b.mp3\r\n"));
        QCOMPARE(entries, QStringList{u"zerrenda.m3u"_s});
    }
};

QTEST_MAIN(tst_savefaults)
#include "tst_savefaults.moc"
