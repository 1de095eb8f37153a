#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

// Writes every picture the player shows into one output folder: the pressed and unpressed
// button icons in irudiak/, and the built-in pictures in pictures/. Stops at the first
// failure and keeps a message saying which file could not be written.
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
    bool saveBytes(const QString& name, const QByteArray& bytes);

    QString m_outDir;
    QString m_error;
};
