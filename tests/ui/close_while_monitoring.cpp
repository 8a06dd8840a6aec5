// Closes the main window while its workers are busy (one in a download that never ends, one
// with a hit message open, one asleep) and ends the way the program does. The test expects
// exit status 0, promptly.

#include "app/main_window.h"
#include "app/monitoring.h"
#include "entries/entry_list.h"
#include "monitor/gbk_codec.h"
#include "support/http_server.h"
#include "support/raw_server.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    using namespace std::chrono_literals;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    sornel::test::RawServer silent([](int, const std::string&, const std::atomic<bool>& stop) {
        sornel::test::RawServer::waitUntil(stop);
    });
    sornel::test::HttpServer pages;
    pages.routes().Get("/", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("hit", "text/plain");
    });
    pages.start();

    sornel::MainWindow window;
    sornel::MonitorTiming timing;
    timing.startDelays = {0ms, 0ms, 0ms};
    window.monitoring().setTimingForTesting(timing);
    window.monitoring().setSoundForTesting([] {});
    const auto gbk = [](const char* utf8) { return sornel::GbkCodec::fromUtf8(utf8); };
    const std::string rows[][3] = {{silent.url("/"), "hit", "1"},
                                   {pages.url("/"), "hit", "1"},
                                   {pages.url("/"), "absent", "100"}};
    sornel::EntryList& list = window.entryList();
    for (const auto& r : rows) {
        const int row = list.appendRow();
        const std::string cells[] = {std::to_string(row + 1),
                                     gbk("停止"),
                                     r[0],
                                     r[1],
                                     gbk("是"),
                                     r[2],
                                     gbk("与"),
                                     gbk("否")};
        for (int c = 0; c < sornel::kEntryColumnCount; ++c) {
            list.setCellText(row, c, cells[c]);
        }
    }
    window.showCentred();
    sornel::startMonitoring(window.monitoring());
    QTimer::singleShot(500, &window, [&window] { window.close(); });
    QApplication::exec();
    std::printf("window closed, ending\n");
    sornel::endProgram(window);
}
