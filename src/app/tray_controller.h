#pragma once

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

class QWidget;

namespace sornel {

// Hides the main window behind a notification-area icon when it is minimised, and brings it
// back centred and on top (without staying on top) on a left click or double-click of the icon.
// Where the desktop has no notification area the window simply stays minimised in the taskbar.
class TrayController : public QObject {
    Q_OBJECT

public:
    TrayController(QWidget& window, QSize outerSize, QIcon icon,
                   std::function<bool()> trayAvailable = &QSystemTrayIcon::isSystemTrayAvailable,
                   QObject* parent = nullptr);
    ~TrayController() override;

    // After every move of the window, including the one that minimising causes.
    void onMoved();
    void onTrayEvent(QSystemTrayIcon::ActivationReason reason);
    // Takes the icon out of the notification area, as the program ends.
    void remove();

    // The icon, once the window has been minimised to it; nullptr before.
    QSystemTrayIcon* trayIcon() const { return trayIcon_.get(); }

private:
    void hideToTray();

    QWidget& window_;
    QSize outerSize_;
    QIcon icon_;
    std::function<bool()> trayAvailable_;
    std::unique_ptr<QSystemTrayIcon> trayIcon_;
};

} // namespace sornel
