#include "app/tray_controller.h"

#include "ui/window_placement.h"

#include <QTimer>
#include <QWidget>

namespace sornel {

TrayController::TrayController(QWidget& window, QSize outerSize, QIcon icon,
                               std::function<bool()> trayAvailable, QObject* parent)
    : QObject(parent), window_(window), outerSize_(outerSize), icon_(std::move(icon)),
      trayAvailable_(std::move(trayAvailable))
{
}

TrayController::~TrayController()
{
    remove();
}

void TrayController::onMoved()
{
    if (!window_.isMinimized()) {
        return;
    }
    // A hidden window could never come back without an icon to click.
    if (!trayAvailable_()) {
        return;
    }
    // Hiding from inside the window's own state change confuses some window managers: do it
    // as soon as that event is over.
    QTimer::singleShot(0, this, [this] {
        if (window_.isMinimized()) {
            hideToTray();
        }
    });
}

void TrayController::hideToTray()
{
    window_.hide();
    if (!trayIcon_) {
        trayIcon_ = std::make_unique<QSystemTrayIcon>();
        connect(trayIcon_.get(), &QSystemTrayIcon::activated, this, &TrayController::onTrayEvent);
    }
    // Put in place afresh, so there is always exactly one icon with this image and tip.
    trayIcon_->setIcon(icon_);
    trayIcon_->setToolTip(QStringLiteral("Sornel  -  监控中···"));
    trayIcon_->show();
}

void TrayController::onTrayEvent(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick) {
        return;
    }
    window_.setWindowState(window_.windowState() & ~Qt::WindowMinimized);
    centreOnScreen(window_, outerSize_);
    window_.show();
    // To the top of the stacking order, without activating it or keeping it on top.
    window_.raise();
}

void TrayController::remove()
{
    if (trayIcon_) {
        trayIcon_->hide();
        trayIcon_.reset();
    }
}

} // namespace sornel
