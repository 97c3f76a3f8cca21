#pragma once
// TFrmLiuRen: one dialog for two tools. With mode 1 it is the hour lesson "苍梧子六壬时课"
// (a lunar month, day and hour give one of six lessons); with any other mode it is
// "诸葛神数" (three characters draw one of 384 lots).
#include <QDialog>

class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace qingheng {

class TFrmLiuRen : public QDialog {
    Q_OBJECT
public:
    static constexpr int kLotMode = 0;
    static constexpr int kLessonMode = 1;

    explicit TFrmLiuRen(int mode, QWidget* parent = nullptr);

    int mode() const { return mode_; }

    // Hour lesson.
    void BtnokClick();    // 起课
    void BitBtn2Click();  // 说明
    // Lots.
    void BtnceClick();    // 推测
    void BitBtn1Click();  // 说明

private:
    QWidget* buildLessonPanel();
    QWidget* buildLotPanel();

    int mode_;
    QListWidget* lstm_ = nullptr;
    QListWidget* lstd_ = nullptr;
    QListWidget* lsts_ = nullptr;
    QPlainTextEdit* Memo1_ = nullptr;
    QLineEdit* ledthz_ = nullptr;
    QPlainTextEdit* Memo2_ = nullptr;
};

}  // namespace qingheng
