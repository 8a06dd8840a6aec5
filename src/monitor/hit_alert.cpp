#include "monitor/hit_alert.h"

#include "monitor/cell_texts.h"
#include "monitor/entry_column.h"
#include "monitor/gbk_codec.h"
#include "monitor/worker_host.h"

namespace sornel {

std::string HitAlert::title()
{
    return GbkCodec::fromUtf8("提示：发现关键词！");
}

std::string HitAlert::header(int slot, std::string_view relation)
{
    if (slot == 0 && relation == cell::kRelationAll) {
        return GbkCodec::fromUtf8(">>>>>>请注意<<<<<<\r\n\r\n在您指定的监控网址： “");
    }
    return GbkCodec::fromUtf8("！！！请注意！！！\r\n\r\n在您指定的监控网址： “");
}

std::string HitAlert::text(std::string_view header, std::string_view address,
                           std::string_view keywords)
{
    std::string text(header);
    text += address;
    text += GbkCodec::fromUtf8("”\r\n\r\n中发现您指定的监控关键词： “");
    text += keywords;
    text += GbkCodec::fromUtf8("”");
    return text;
}

bool HitAlert::raise(WorkerHost& host, const std::stop_token& stop, int row,
                     std::string_view header, std::string_view address, std::string_view keywords,
                     bool playSound)
{
    if (playSound && !host.playAlert(stop)) {
        return false;
    }
    if (!host.showHitMessage(stop, title(), text(header, address, keywords))) {
        return false;
    }
    return host.setCellText(stop, row, column(EntryColumn::Found), std::string(cell::kYes)) &&
           host.setCellText(stop, row, column(EntryColumn::Status), std::string(cell::kStopped));
}

} // namespace sornel
