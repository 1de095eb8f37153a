#pragma once

#include <QStringList>

class MediaComponent;

// The playlist window, the bar and the real player, as a user meets them.
namespace ListPlay {

// Puts the songs in the playlist, presses play once and returns the player.
MediaComponent& start(const QStringList& songs);
// The bar's counter, as "3/5".
QString counter();

} // namespace ListPlay
