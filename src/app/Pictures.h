#pragma once
// The program's own pictures, drawn in code: the banner, the scene of the scan animation (whose
// resting frame is the still picture), the scan button's two pictures and the engine header's.
// Needs Qt Gui only, so the clip generator at build time draws the very same frames.

#include <QImage>

namespace quorvia::Pictures {

constexpr int ClipSize = 60;
constexpr int BannerWidth = 600;
constexpr int BannerHeight = 60;

// The banner across the top of the main window (600 x 60).
QImage Banner();
// The still picture that covers the player panel while no clip is showing (60 x 60).
QImage Still();

// Frames of the three clips: the opening clip lifts the magnifier from its resting place, the
// looping clip circles it once over the result page, the closing clip puts it back, so that the
// closing clip's last frame is the still picture.
QImage OpeningFrame(int frame, int frames);
QImage LoopingFrame(int frame, int frames);
QImage ClosingFrame(int frame, int frames);

// 24 x 24 pictures of the scan button: start (a magnifier with a tick) and stop.
QImage ScanButtonPicture();
QImage StopButtonPicture();
// 12 x 12: a globe with a magnifying glass, the engine column's header.
QImage EngineHeaderPicture();

} // namespace quorvia::Pictures
