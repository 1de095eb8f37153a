#pragma once

#include "frame/PlatformAnswers.h"

#include <QString>

// Puts the program back as it was before any window was referenced: no windows, the real
// program folder, no scripted answers.
namespace WindowTest {

void reset();

// The answers the program gets in place of the user's, the desktop's and the sound system's.
PlatformAnswers& answers();

// A copy of the executable's irudiak/ and pictures/ in a temporary folder, less the named
// icon files, for tests of missing pictures. Returns the folder.
QString programFolderWithout(const QString& parent, const QStringList& missingIcons);

} // namespace WindowTest
