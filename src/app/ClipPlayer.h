#pragma once
// A video player for the scan animation: shows one uncompressed clip (platform/AviClip) inside
// its display widget, frame by frame at the file's frame rate, and posts an end notice when a
// play has run out. The notice is requested per command, like a media device's "notify" flag:
// Play() requests it, and the notice handler requests it again for the next command.

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <vector>

namespace quorvia {

class TClipPlayer : public QWidget {
    Q_OBJECT
public:
    enum class TMode { NotOpen, Stopped, Playing };

    // The player covers the client area of `display`, below the display's other children.
    explicit TClipPlayer(QWidget* display);

    QString FileName;
    // Request an end notice for the next command.
    bool Notify = false;

    // Reads FileName; false (and closed) when it is missing or not a playable clip.
    bool Open();
    void Close();
    // Plays from the first frame with an end notice requested; false when not open.
    bool Play();
    TMode Mode() const { return mode_; }
    int FrameCount() const { return int(frames_.size()); }
    int FrameIntervalMs() const { return timer_.interval(); }

signals:
    // Posted through the event loop when a play with a requested notice has ended.
    void OnNotify(quorvia::TClipPlayer* player);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void Advance();

    std::vector<QImage> frames_;
    int frame_ = -1; // -1: nothing shown yet
    TMode mode_ = TMode::NotOpen;
    QTimer timer_;
};

} // namespace quorvia
