#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Writes every picture the player shows into one output folder: the pressed and unpressed
// button icons in irudiak/ (16 and 32 px in each file), and the built-in pictures in pictures/
// (each window picture also at twice its size, named with "@2x", for scaled screens). Stops at the
// first failure and keeps a message saying which file could not be written.
class ArtworkWriter {
public:
    explicit ArtworkWriter(QString outDir);

    bool writeAll();
    QString errorString() const { return m_error; }

    static QStringList buttonNames();

private:
    bool makeFolders();
    bool writeButtons();
    bool writeBackgrounds();
    bool writePictures();
    bool writeProgramIcons();
    bool saveIcon(const QString& name, const QList<QImage>& images);
    bool savePng(const QString& name, const QImage& image);
    // name.png drawn at scale 1 and name@2x.png at scale 2.
    bool saveBothScales(const QString& name, const std::function<QImage(int scale)>& draw);
    bool saveBytes(const QString& name, const QByteArray& bytes);

    QString m_outDir;
    QString m_error;
};
