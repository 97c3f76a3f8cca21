#include "ui/Untmain.h"

namespace qingheng {

TFrmMain::TFrmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName("FrmMain");
    setWindowTitle(QStringLiteral("青衡六爻V3.3"));
    resize(400, 400);
}

}  // namespace qingheng
