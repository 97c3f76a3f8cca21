#pragma once
// The main window of the workstation.
#include <QMainWindow>

namespace qingheng {

class TFrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrmMain(QWidget* parent = nullptr);
};

}  // namespace qingheng
