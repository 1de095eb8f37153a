#include "ArtworkWriter.h"

#include "ButtonPainter.h"
#include "IconFile.h"
#include "LinkCursor.h"
#include "LogoPicture.h"
#include "ProgramIcon.h"
#include "SplashPicture.h"
#include "WaterTexture.h"

#include <QBuffer>
#include <QDir>
#include <QSaveFile>
#include <utility>

namespace {

QList<QImage> buttonSizes(const QString& base, bool pressed)
{
    return {ButtonPainter::paint(base, 16, pressed), ButtonPainter::paint(base, 32, pressed)};
}

} // namespace

ArtworkWriter::ArtworkWriter(QString outDir) : m_outDir(std::move(outDir)) {}

QStringList ArtworkWriter::buttonNames()
{
    return {QStringLiteral("atzea"),  QStringLiteral("aurrea"), QStringLiteral("bera"),
            QStringLiteral("berria"), QStringLiteral("egilea"), QStringLiteral("gehitu"),
            QStringLiteral("gora"),   QStringLiteral("gorde"),  QStringLiteral("ireki"),
            QStringLiteral("irten"),  QStringLiteral("kendu"),  QStringLiteral("pause"),
            QStringLiteral("play"),   QStringLiteral("stop"),   QStringLiteral("zerrenda")};
}

bool ArtworkWriter::writeAll()
{
    return makeFolders() && writeButtons() && writeBackgrounds() && writePictures() &&
           writeProgramIcons();
}

bool ArtworkWriter::makeFolders()
{
    for (const QString& folder : {QStringLiteral("irudiak"), QStringLiteral("pictures/buttons")}) {
        if (!QDir().mkpath(m_outDir + u'/' + folder)) {
            m_error = QStringLiteral("cannot create folder %1/%2").arg(m_outDir, folder);
            return false;
        }
    }
    return true;
}

// The built-in picture goes through the same painter as the unpressed icon, so a button
// looks the same before and after its first press.
bool ArtworkWriter::writeButtons()
{
    for (const QString& base : buttonNames()) {
        if (!saveIcon(QStringLiteral("irudiak/%1.ico").arg(base), buttonSizes(base, false)) ||
            !saveIcon(QStringLiteral("irudiak/%1%2.ico").arg(base, QStringLiteral("1")),
                      buttonSizes(base, true)) ||
            !saveIcon(QStringLiteral("pictures/buttons/%1.ico").arg(base),
                      buttonSizes(base, false)))
            return false;
    }
    return true;
}

bool ArtworkWriter::writeBackgrounds()
{
    return saveBothScales(QStringLiteral("pictures/mahaia"),
                          [](int scale) {
                              return WaterTexture::render({206, 31}, 0.0, scale);
                          }) &&
           saveBothScales(QStringLiteral("pictures/zerrenda"),
                          [](int scale) {
                              return WaterTexture::render({206, 256}, 1.3, scale);
                          }) &&
           saveBothScales(QStringLiteral("pictures/artxiboak"), [](int scale) {
               return WaterTexture::render({206, 256}, 2.6, scale);
           });
}

bool ArtworkWriter::writePictures()
{
    return saveBothScales(QStringLiteral("pictures/sarrera"), &SplashPicture::paint) &&
           saveBothScales(QStringLiteral("pictures/egilea"), &LogoPicture::paint) &&
           saveBothScales(QStringLiteral("pictures/lotura"), &LinkCursor::paint);
}

bool ArtworkWriter::saveBothScales(const QString& name, const std::function<QImage(int)>& draw)
{
    return savePng(name + QStringLiteral(".png"), draw(1)) &&
           savePng(name + QStringLiteral("@2x.png"), draw(2));
}

bool ArtworkWriter::writeProgramIcons()
{
    return saveIcon(QStringLiteral("pictures/mahaia.ico"),
                    {ProgramIcon::paint(16, false), ProgramIcon::paint(32, false)}) &&
           saveIcon(QStringLiteral("pictures/ixomp3.ico"),
                    {ProgramIcon::paint(16, true), ProgramIcon::paint(32, true),
                     ProgramIcon::paint(48, true)}) &&
           savePng(QStringLiteral("pictures/ixomp3.png"), ProgramIcon::paint(256, true));
}

bool ArtworkWriter::saveIcon(const QString& name, const QList<QImage>& images)
{
    return saveBytes(name, IconFile(images).encode());
}

bool ArtworkWriter::savePng(const QString& name, const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        m_error = QStringLiteral("cannot encode %1").arg(name);
        return false;
    }
    return saveBytes(name, bytes);
}

bool ArtworkWriter::saveBytes(const QString& name, const QByteArray& bytes)
{
    QSaveFile file(m_outDir + u'/' + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        m_error = QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    return true;
}
