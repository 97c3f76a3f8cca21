#pragma once
// TFrmChange "修改笔画": looks up the stroke count of one character in dat/hzlen.dat and
// corrects it, changing only the two count bytes of that character's record.
#include <QDialog>

#include <filesystem>

class QLineEdit;
class QPushButton;

namespace qingheng {

class TFrmChange : public QDialog {
    Q_OBJECT
public:
    explicit TFrmChange(QWidget* parent = nullptr);

    void BtnSearchClick();  // 查找
    void BtnChangeClick();  // 修改

    const std::filesystem::path& tablePath() const { return table_; }

private:
    // The two GBK bytes of the one character typed; shows "请输入汉字" when there is none.
    std::optional<std::string> typedCharacter();
    void showNoRecord();

    std::filesystem::path table_;
    QLineEdit* ledtin_ = nullptr;
    QLineEdit* ledtnum_ = nullptr;
    QPushButton* BtnChange_ = nullptr;
};

}  // namespace qingheng
