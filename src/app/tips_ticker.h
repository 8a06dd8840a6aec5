#pragma once

#include <QObject>
#include <QTimer>
#include <string>
#include <vector>

class QLabel;

namespace sornel {

// Every 20 seconds shows the next of the eight usage tips in the tips line; a full cycle is
// nine ticks, the ninth only starting the next cycle.
class TipsTicker : public QObject {
    Q_OBJECT

public:
    explicit TipsTicker(QLabel& line, QObject* parent = nullptr);

    // Splits the tips text at "{" into the tips list and starts ticking every 20000 ms.
    void start();
    void tick();
    // Lets go of the tips list and text.
    void release();

    // The tips joined by "{", in GBK.
    static std::string tipsText();

    int index() const { return index_; }
    const std::vector<std::string>& tips() const { return tips_; }
    int periodMs() const { return timer_.isActive() ? timer_.interval() : 0; }

private:
    QLabel& line_;
    QTimer timer_;
    std::string text_;
    std::vector<std::string> tips_;
    int index_ = 0;
};

} // namespace sornel
