#pragma once
// ImageList: the program's eleven 12 x 12 pictures, drawn by code once and used by index.
//   0 red triangle down (a fall)        6  blue up-triangle over red down-triangle
//   1 blue triangle up (a rise)         7  trophy cup
//   2 blue magnifying glass             8  globe with a magnifying glass (engine list header)
//   3 globe                             9  binoculars
//   4 sheet of paper                    10 red magnifying glass
//   5 flag on a pole
// Pictures 2 to 7 letter the titles of the six columns shown at start. Needs a QGuiApplication.

#include <QImage>
#include <QList>

namespace quorvia {

inline constexpr int kImageSize = 12;
inline constexpr int kPictureFall = 0;
inline constexpr int kPictureRise = 1;
inline constexpr int kPictureFirstTitle = 2;
inline constexpr int kPictureEngineList = 8;

const QList<QImage>& ImageList();

} // namespace quorvia
