#pragma once
// TFrmAbout: 帮助 → 关于, the program's name, version and licence and a line on what it is.
#include <QDialog>

namespace qingheng {

class TFrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAbout(QWidget* parent = nullptr);
};

}  // namespace qingheng
