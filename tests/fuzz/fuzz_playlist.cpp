// Any bytes read as a playlist, saved and read again, give back the same items.
#include "FuzzCheck.h"
#include "playlist/PlaylistFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Result<QStringList> first =
        PlaylistFile::read(FuzzCheck::inFile(QStringLiteral("in.m3u"), data, size));
    FuzzCheck::require(bool(first), "a plain file is read");
    // The saved file is left from the previous input, so this also replaces an existing list.
    const QString saved = FuzzCheck::path(QStringLiteral("saved.m3u"));
    FuzzCheck::require(bool(PlaylistFile::write(saved, *first)), "the list is saved");
    Result<QStringList> second = PlaylistFile::read(saved);
    FuzzCheck::require(second && *second == *first, "saving and reading keeps every item");
    return 0;
}
