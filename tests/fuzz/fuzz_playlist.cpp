// Any bytes read as a playlist, saved and read again must give back the same items: the reader
// and the writer agree on line ends and on the text encoding, whatever the file held.
#include "FuzzCheck.h"
#include "playlist/PlaylistFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QTemporaryDir& dir = FuzzCheck::workDir();
    const QString original = dir.filePath(QStringLiteral("original.m3u"));
    const QString saved = dir.filePath(QStringLiteral("saved.m3u"));
    FuzzCheck::writeFile(original, data, size);

    const PlaylistFile::ReadResult first = PlaylistFile::read(original);
    FuzzCheck::require(first.error.isEmpty(), "a plain file is read");
    // The saved file is left from the previous input, so this also replaces an existing list.
    FuzzCheck::require(PlaylistFile::write(saved, first.items).isEmpty(), "the list is saved");
    const PlaylistFile::ReadResult second = PlaylistFile::read(saved);
    FuzzCheck::require(second.error.isEmpty(), "the saved list is read");
    FuzzCheck::require(second.items == first.items, "saving and reading keeps every item");
    return 0;
}
