#pragma once

// Helpers for driving the windows in tests.

#include "monitor/gbk_codec.h"
#include "ui/message_box.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

namespace sornel::test {

inline std::string gbk(const char* utf8)
{
    return GbkCodec::fromUtf8(utf8);
}

// Collects the messages shown while it lives, instead of showing them.
class MessageRecorder {
public:
    MessageRecorder()
    {
        setMessageSinkForTesting([this](const Message& m) { messages.push_back(m); });
    }
    ~MessageRecorder() { setMessageSinkForTesting(nullptr); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<Message> messages;
};

// Runs `act` on the modal window that the next blocking call opens (a dialog's exec), once the
// event loop has shown it. `act` must close the window.
inline void whenModalOpens(std::function<void(QWidget&)> act)
{
    auto* timer = new QTimer();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(*modal);
        }
    });
    timer->start();
}

template <typename T> T& child(QWidget& parent, const char* name)
{
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) {
        throw std::runtime_error(std::string("no child named ") + name);
    }
    return *found;
}

} // namespace sornel::test
