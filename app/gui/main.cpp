// The desktop program.
#include <QApplication>

#include "platform/FileUtil.h"
#include "platform/ProgramFolder.h"
#include "ui/main/Untmain.h"
#include "ui/main/Untreportpane.h"

int main(int argc, char** argv) {
    qingheng::ignoreFileSizeSignal();  // a file-size limit becomes a reported write error
    qingheng::initProgramFolder(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("青衡六爻"));
    qingheng::installReportFontSubstitutes();
    qingheng::TFrmMain window;
    window.show();
    return QApplication::exec();
}
