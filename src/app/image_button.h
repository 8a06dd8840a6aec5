#pragma once

#include <QAbstractButton>
#include <QIcon>

namespace sornel {

// A flat, owner-drawn command button: an image centred above its caption. Normal: black on the
// button face; mouse over it while the window is active, or held down: caption RGB(0,136,255)
// in a white rounded box with a black outline (the box filled with the button face when asked);
// keyboard focus with the mouse elsewhere: black on RGB(247,247,247). It makes no sound.
class ImageButton : public QAbstractButton {
    Q_OBJECT

public:
    ImageButton(const QString& caption, const QIcon& image, QWidget* parent = nullptr);

    // The hovered box is filled with the button face instead of white.
    void setHoverFillIsButtonFace(bool buttonFace) { hoverFillIsButtonFace_ = buttonFace; }

    enum class Look { Normal, Hover, Focus };
    Look look() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool hovered_ = false;
    bool hoverFillIsButtonFace_ = false;
};

} // namespace sornel
