#include "app/ClipPlayer.h"

#include "platform/AviClip.h"

#include <QFile>
#include <QPainter>

#include <algorithm>
#include <exception>

namespace quorvia {

TClipPlayer::TClipPlayer(QWidget* display) : QWidget(display) {
    setGeometry(display->rect());
    lower();
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TClipPlayer::Advance);
}

bool TClipPlayer::Open() {
    Close();
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    try {
        const AviClip clip = ParseAvi(bytes.toStdString());
        for (const auto& pixels : clip.frames)
            frames_.push_back(QImage(pixels.data(), clip.width, clip.height, clip.width * 3,
                                     QImage::Format_RGB888)
                                  .copy());
        timer_.setInterval(int(std::max<std::int64_t>(1, clip.frameMicroseconds / 1000)));
    } catch (const std::exception&) {
        frames_.clear();
        return false;
    }
    mode_ = TMode::Stopped;
    return true;
}

void TClipPlayer::Close() {
    timer_.stop();
    frames_.clear();
    frame_ = -1;
    mode_ = TMode::NotOpen;
    update();
}

bool TClipPlayer::Play() {
    if (mode_ == TMode::NotOpen)
        return false;
    Notify = true;
    frame_ = 0;
    mode_ = TMode::Playing;
    raise();
    update();
    timer_.start();
    return true;
}

void TClipPlayer::Advance() {
    if (frame_ + 1 < FrameCount()) {
        ++frame_;
        update();
        return;
    }
    // The last frame has had its time: the play is over and stays on it.
    timer_.stop();
    mode_ = TMode::Stopped;
    if (Notify) {
        Notify = false;
        QMetaObject::invokeMethod(
            this, [this] { emit OnNotify(this); }, Qt::QueuedConnection);
    }
}

void TClipPlayer::paintEvent(QPaintEvent*) {
    if (frame_ < 0 || frame_ >= FrameCount())
        return;
    QPainter(this).drawImage(0, 0, frames_[std::size_t(frame_)]);
}

} // namespace quorvia
