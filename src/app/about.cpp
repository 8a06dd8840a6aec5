#include "app/about.h"

#include "app/message_box.h"

namespace sornel {

void showAbout()
{
    showMessage(MessageIcon::Information, QStringLiteral("关于"),
                QStringLiteral("Sornel 1.0\n\n\n"
                               "作者：Dravik\n\n"
                               "网页关键词监控：增加网址和关键词，点击【开始监控】即可。\n\n"
                               "意见和建议请联系作者：dravik@sornel.example"));
}

} // namespace sornel
