#include "app/about.h"

#include "ui/message_box.h"

#include <QWidget>

namespace sornel {

void showAbout(QWidget& window)
{
    showMessage(&window, MessageIcon::Information, QStringLiteral("关于"),
                QStringLiteral("Sornel 1.0\n\n\n"
                               "作者：Dravik\n\n"
                               "网页关键词监控：增加网址和关键词，点击【开始监控】即可。\n\n"
                               "意见和建议请联系作者：dravik@sornel.example"));
}

} // namespace sornel
