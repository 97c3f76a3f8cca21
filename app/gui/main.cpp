// The desktop program.
#include <QApplication>
#include <QIcon>

#include "ProgramVersion.h"

#include "platform/FileUtil.h"
#include "platform/ProgramFolder.h"
#include "ui/common/Untlanguage.h"
#include "ui/common/Untprompt.h"
#include "ui/main/Untmain.h"
#include "ui/main/Untreportpane.h"

int main(int argc, char** argv) {
    qingheng::ignoreFileSizeSignal();  // a file-size limit becomes a reported write error
    const qingheng::Status home = qingheng::initProgramFolder(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("青衡六爻"));
    QApplication::setApplicationVersion(QString::fromUtf8(qingheng::kProgramVersion.data()));
    // The desktop entry and the icon an installation puts in the icon theme; the copy built
    // into the program stands in for a portable copy.
    const QString desktopId = QString::fromUtf8(qingheng::kDesktopId.data());
    QApplication::setDesktopFileName(desktopId);
    QApplication::setWindowIcon(QIcon::fromTheme(desktopId, QIcon(QStringLiteral(":/icons/qingheng.png"))));
    qingheng::installChineseTranslations();
    if (!home) {
        qingheng::prompts().stop(nullptr, QString::fromStdString(home.message));
        return 1;
    }
    // A new home gets the shipped data files; one the user already has is kept.
    if (const qingheng::Status shipped = qingheng::provideShippedData(qingheng::currentHome()); !shipped)
        qingheng::prompts().warn(nullptr, QString::fromStdString(shipped.message));
    qingheng::installReportFontSubstitutes();
    qingheng::TFrmMain window;
    window.show();
    return QApplication::exec();
}
