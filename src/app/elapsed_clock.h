#pragma once

#include <QObject>
#include <QTimer>

class QLineEdit;

namespace sornel {

// How long monitoring has been running, counted in one-second ticks and shown as HH:MM:SS in
// the clock display. Stops by itself at 99:00:00.
class ElapsedClock : public QObject {
    Q_OBJECT

public:
    explicit ElapsedClock(QLineEdit& display, QObject* parent = nullptr);

    // Shows 00:00:00 and counts from zero; a clock already ticking keeps its phase.
    void start();
    // Stops ticking and clears the count; the display keeps the last time.
    void stop();
    void tick();

    bool isRunning() const { return timer_.isActive(); }
    int hours() const { return hours_; }
    int minutes() const { return minutes_; }
    int seconds() const { return seconds_; }

private:
    QLineEdit& display_;
    QTimer timer_;
    int seconds_ = 0;
    int minutes_ = 0;
    int hours_ = 0;
};

} // namespace sornel
