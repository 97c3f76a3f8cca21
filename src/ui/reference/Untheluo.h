#pragma once
// TFrmHeLuo "河图与洛书": the He Tu (numbers 1-10) and the Luo Shu (numbers 1-9 with the
// nine stars) drawn from their geometry. South is up, east to the left, as on Chinese maps.
#include <QDialog>

class QLabel;

namespace qingheng {

class TPictureBox;

class TFrmHeLuo : public QDialog {
    Q_OBJECT
public:
    enum class Diagram { HeTu, LuoShu };

    explicit TFrmHeLuo(QWidget* parent = nullptr);

    // Redraws the picture with a diagram (what a click on its label does).
    void showDiagram(Diagram diagram);
    Diagram diagram() const { return diagram_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* makeLink(const QString& text, const char* name);

    TPictureBox* img1_ = nullptr;
    QLabel* labhetu_ = nullptr;
    QLabel* labluoshu_ = nullptr;
    Diagram diagram_ = Diagram::HeTu;
};

}  // namespace qingheng
