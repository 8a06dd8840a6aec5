#include "app/elapsed_clock.h"

#include <QLineEdit>

namespace sornel {

namespace {

constexpr int kTickMs = 1000;
constexpr int kLastHour = 99;

// "0" in front, then the last two characters: 7 gives 07, 42 gives 42.
QString twoDigits(int value)
{
    return (QStringLiteral("0") + QString::number(value)).right(2);
}

} // namespace

ElapsedClock::ElapsedClock(QLineEdit& display, QObject* parent) : QObject(parent), display_(display)
{
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &ElapsedClock::tick);
}

void ElapsedClock::start()
{
    display_.setText(QStringLiteral("00:00:00"));
    // The count starts again with the display, so the two always agree.
    seconds_ = 0;
    minutes_ = 0;
    hours_ = 0;
    if (!timer_.isActive()) {
        timer_.start(kTickMs);
    }
}

void ElapsedClock::stop()
{
    timer_.stop();
    minutes_ = 0;
    seconds_ = 0;
    hours_ = 0;
}

void ElapsedClock::tick()
{
    if (++seconds_ == 60) {
        ++minutes_;
        seconds_ = 0;
    }
    if (minutes_ == 60) {
        ++hours_;
        minutes_ = 0;
    }
    if (hours_ == kLastHour) {
        timer_.stop();
    }
    display_.setText(twoDigits(hours_) + ':' + twoDigits(minutes_) + ':' + twoDigits(seconds_));
}

} // namespace sornel
