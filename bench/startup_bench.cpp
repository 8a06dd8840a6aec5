// Time from process start to the main window's first paint. The benchmark starts itself again
// as a child that builds the program's window exactly as the program does and reports the
// moment of the first paint; the parent notes the moment it started the child. Run it where
// the program would run (a desktop, or xvfb-run); QT_QPA_PLATFORM=offscreen also works.
//
//   startup_bench [runs]

#include "app/application.h"
#include "app/main_window.h"

#include <QApplication>
#include <QEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

long long nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->objectName() == "mainWindow") {
            std::printf("%lld\n", nowNs());
            std::fflush(stdout);
            std::_Exit(0);
        }
        return false;
    }
};

int child(int argc, char** argv)
{
    QApplication app(argc, argv);
    sornel::setUpApplication(app);
    FirstPaint watch;
    app.installEventFilter(&watch);
    sornel::MainWindow window;
    window.showCentred();
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--child") {
        return child(argc, argv);
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) {
            return 1;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        char childFlag[] = "--child";
        char* childArgv[] = {argv[0], childFlag, nullptr};
        pid_t pid = 0;
        const long long started = nowNs();
        if (posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, childArgv, environ) != 0) {
            std::fprintf(stderr, "cannot start the window\n");
            return 1;
        }
        close(pipeEnds[1]);
        char buffer[64] = {};
        const auto got = read(pipeEnds[0], buffer, sizeof buffer - 1);
        close(pipeEnds[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        posix_spawn_file_actions_destroy(&actions);
        if (got <= 0) {
            std::fprintf(stderr, "the window never painted (is there a display?)\n");
            return 1;
        }
        ms.push_back(static_cast<double>(std::atoll(buffer) - started) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("process start to first paint of the main window, %d runs: median %.1f ms, "
                "min %.1f ms, max %.1f ms (goal < 150 ms)\n",
                runs, ms[ms.size() / 2], ms.front(), ms.back());
    return 0;
}
