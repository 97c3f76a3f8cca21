// The desktop program.
#include <QApplication>

#include "platform/ProgramFolder.h"
#include "ui/main/Untmain.h"
#include "ui/main/Untreportpane.h"

int main(int argc, char** argv) {
    qingheng::initProgramFolder(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("青衡六爻"));
    qingheng::installReportFontSubstitutes();
    qingheng::TFrmMain window;
    window.show();
    return QApplication::exec();
}
