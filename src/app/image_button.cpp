#include "app/image_button.h"

#include <QEnterEvent>
#include <QPainter>

namespace sornel {

namespace {

constexpr int kImageSize = 32;
constexpr int kImageTop = 8;
const QColor kHoverCaption(0, 136, 255);
const QColor kFocusFill(247, 247, 247);

} // namespace

ImageButton::ImageButton(const QString& caption, const QIcon& image, QWidget* parent)
    : QAbstractButton(parent)
{
    setText(caption);
    setIcon(image);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
}

ImageButton::Look ImageButton::look() const
{
    if ((hovered_ && window()->isActiveWindow()) || isDown()) {
        return Look::Hover;
    }
    if (hasFocus()) {
        return Look::Focus;
    }
    return Look::Normal;
}

void ImageButton::enterEvent(QEnterEvent* event)
{
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void ImageButton::leaveEvent(QEvent* event)
{
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void ImageButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor buttonFace = palette().color(QPalette::Button);
    const QRect area = rect();
    QColor caption = Qt::black;
    switch (look()) {
    case Look::Normal:
        painter.fillRect(area, buttonFace);
        break;
    case Look::Hover:
        painter.fillRect(area, buttonFace);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(hoverFillIsButtonFace_ ? buttonFace : QColor(Qt::white));
        // A corner ellipse of 8 x 8 pixels, inside the one-pixel outline.
        painter.drawRoundedRect(QRectF(area).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        caption = kHoverCaption;
        break;
    case Look::Focus:
        painter.fillRect(area, kFocusFill);
        break;
    }
    const QRect imageArea((width() - kImageSize) / 2, kImageTop, kImageSize, kImageSize);
    icon().paint(&painter, imageArea, Qt::AlignCenter,
                 isEnabled() ? QIcon::Normal : QIcon::Disabled);
    painter.setPen(caption);
    const QRect captionArea(0, kImageTop + kImageSize, width(), height() - kImageTop - kImageSize);
    painter.drawText(captionArea, Qt::AlignHCenter | Qt::AlignVCenter, text());
}

} // namespace sornel
