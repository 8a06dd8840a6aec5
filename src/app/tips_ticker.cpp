#include "app/tips_ticker.h"

#include "monitor/gbk_codec.h"
#include "monitor/gbk_text.h"

#include <QLabel>

namespace sornel {

namespace {

constexpr int kTickMs = 20000;

constexpr const char* kTips[] = {
    ">>> 程序通过【增加】监控设置后，点击【开始监控】即可监控您指定网址中是否出现你监控的关键字。",
    ">>> "
    "监控过程中你可以随时点击【修改】按钮，来修改选中的监控项目，修改完毕重新点击【开始监控】。",
    ">>> 关键词与关键词之间用“|”分开，关键词多少不限制，但关键词越多耗费时间越长。",
    ">>> 列表中“刷新频率”表示程序间隔多少分钟以后再次检查网址，值不宜低于默认的3分钟。",
    ">>> 列表中“监控方式”【与】表示在指定网址中出现指定的所有关键词就报警提示。",
    ">>> 列表中“监控方式”【或】表示在指定网址中出现指定的任何一个关键词就报警提示。",
    ">>> "
    "列表中“监控方式”【同一行】表示在指定网址中出现指定的所有关键词，并且关键词在网页中同一行。",
    ">>> 列表中“监控方式”【同一行】用于精确定位指定链接。比如监控PT类网站某电影的某版本是否出现。",
};

} // namespace

TipsTicker::TipsTicker(QLabel& line, QObject* parent) : QObject(parent), line_(line)
{
    connect(&timer_, &QTimer::timeout, this, &TipsTicker::tick);
}

std::string TipsTicker::tipsText()
{
    std::string text;
    for (const char* tip : kTips) {
        if (!text.empty()) {
            text += '{';
        }
        text += GbkCodec::fromUtf8(tip);
    }
    return text;
}

void TipsTicker::start()
{
    text_ = tipsText();
    tips_ = splitText(text_, "{");
    timer_.start(kTickMs);
}

void TipsTicker::tick()
{
    const auto count = static_cast<int>(tips_.size());
    if (index_ >= count) {
        index_ = 0;
        return;
    }
    ++index_;
    line_.setText(
        QString::fromStdU16String(GbkCodec::toUtf16(tips_[static_cast<std::size_t>(index_ - 1)])));
}

void TipsTicker::release()
{
    tips_.clear();
    tips_.shrink_to_fit();
    text_.clear();
    text_.shrink_to_fit();
}

} // namespace sornel
