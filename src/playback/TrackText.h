#pragma once

#include <QString>

// How the bar's texts are read and written: the track counter "k/n", song titles taken from
// paths, and times as minutes and seconds.
namespace TrackText {

// The text before the counter's first "/", or "" when it has none.
QString counterPrefix(const QString& counter);

// The leading number of a text, as far as it reads as one ("" and words count as 0).
int leadingNumber(const QString& text);

// The file part of a path without its last four characters ("song.mp3" gives "song"). A file
// part shorter than that is shown whole rather than dropped, so odd names still show. A byte
// of the name that is not UTF-8 shows as U+FFFD (PathBytes::displayText).
QString TitleFromPath(const QString& path);

// Seconds as m:s, rounded to the nearest second with halves to the even neighbour; no
// leading zeros ("1:5" for 65.2 s).
QString FormatTime(double seconds);

// The volume display's percentage of a player volume in hundredths of a decibel: 100 at full,
// one point per step of 100, 0 at the floor.
int VolumePercent(int hundredthsOfDb);

} // namespace TrackText
