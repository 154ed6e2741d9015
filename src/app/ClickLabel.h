#pragma once
// A picture or text that acts like a link: hand pointer, and a click signal on release of the
// left mouse button over it.

#include <QLabel>

namespace quorvia {

class TClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit TClickLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace quorvia
