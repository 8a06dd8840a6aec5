#include "bench_page.h"

#include <array>
#include <random>
#include <string_view>

namespace sornel::bench {

namespace {

// Common characters that code page 936 has, so iconv converts the whole page too.
constexpr std::array<std::string_view, 24> kWords = {
    "价格", "二手", "出售", "房源", "联系", "电话", "北京", "上海", "新闻", "公告", "招聘", "手机",
    "电脑", "汽车", "发布", "时间", "地址", "详情", "优惠", "免费", "学校", "公司", "市场", "服务",
};

} // namespace

std::string makeListingPage(std::size_t size)
{
    std::mt19937 random(936);
    auto word = [&] { return kWords[random() % kWords.size()]; };
    std::string page = "<html><head><meta charset=\"utf-8\"><title>";
    page += "分类信息 - 列表</title></head>\n<body>\n";
    int row = 0;
    while (page.size() < size) {
        // Running text between the tables.
        page += "<div class=\"item\" style=\"width:100%\"><p>";
        for (int i = 0; i < 60; ++i) {
            page += word();
            page += i % 9 == 8 ? "，" : "";
        }
        page += "</p><a href=\"/detail?id=";
        page += std::to_string(row);
        page += "&amp;from=list\">";
        page += word();
        page += word();
        page += "</a></div>\n";
        // A table of a few rows; one table in fifty holds the three looked-for words.
        page += "<table class=\"list\" width=\"100%\" border=\"0\">\n";
        for (int r = 0; r < 4; ++r, ++row) {
            page += "<tr><td class=\"t\">";
            for (int i = 0; i < 12; ++i) {
                page += word();
            }
            if (row % 200 == 7) {
                page += " 笔记本 九成新 价格面议";
            }
            page += "</td><td align=\"right\">";
            page += std::to_string(100 + row % 900);
            page += "元</td></tr>\n";
        }
        page += "</table>\n";
    }
    page += "</body></html>\n";
    return page;
}

std::string makeChineseListingPage(std::size_t size)
{
    std::mt19937 random(20);
    auto word = [&] { return kWords[random() % kWords.size()]; };
    std::string page = "<html><head><meta charset=\"utf-8\"><title>二手笔记本 - 列表</title>"
                       "</head>\n<body>\n";
    int item = 0;
    while (page.size() < size) {
        // A listing: a line of text, a link with an escaped query, a small table of details.
        page += "<p>";
        for (int i = 0; i < 22; ++i) {
            page += word();
        }
        page += "</p><a href=\"/s?q=%E7%AC%94%E8%AE%B0%E6%9C%AC&p=";
        page += std::to_string(item);
        page += "\">";
        page += word();
        page += word();
        page += "</a>\n<table><tr><td>";
        for (int i = 0; i < 10; ++i) {
            page += word();
        }
        if (item % 3 != 2) {
            page += "笔记本";
        }
        for (int i = 0; i < 4; ++i) {
            page += word();
        }
        if (item % 4 != 3) {
            page += "九成新";
        }
        for (int i = 0; i < 4; ++i) {
            page += word();
        }
        page += "</td></tr></table>\n";
        ++item;
    }
    page += "</body></html>\n";
    return page;
}

} // namespace sornel::bench
