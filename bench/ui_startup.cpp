// Start-up time of the main window and resident memory after one cast.
// Run under a display (or QT_QPA_PLATFORM=offscreen): build/bin/bench_ui_startup
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <cstdio>
#include <fstream>
#include <string>

#include "platform/ProgramFolder.h"
#include "ui/main/Untmain.h"
#include "ui/main/Untreportpane.h"

namespace {

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    qingheng::initProgramFolder(argc, argv);
    QApplication app(argc, argv);
    qingheng::installReportFontSubstitutes();
    qingheng::TFrmMain window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    const qint64 shownMs = sinceStart.elapsed();
    const long beforeCast = residentKiB();
    window.castByListItem(12);  // random casting: no dialog
    QApplication::processEvents();
    std::printf("first window shown after %lld ms (from main)\n", static_cast<long long>(shownMs));
    std::printf("resident memory: %ld KiB before the cast, %ld KiB after one cast (chart valid: %d)\n", beforeCast,
                residentKiB(), window.chartValid() ? 1 : 0);
    return 0;
}
