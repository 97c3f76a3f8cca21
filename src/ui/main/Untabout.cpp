#include "ui/main/Untabout.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ProgramVersion.h"

namespace qingheng {
namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

TFrmAbout::TFrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmAbout");
    setWindowTitle(QStringLiteral("关于青衡六爻"));
    auto* column = new QVBoxLayout(this);

    auto* head = new QHBoxLayout;
    if (const QIcon icon = QApplication::windowIcon(); !icon.isNull()) {
        auto* picture = new QLabel(this);
        picture->setObjectName("ImgIcon");
        picture->setPixmap(icon.pixmap(64, 64));
        head->addWidget(picture);
    }
    QLabel* name = makeLabel(this, "LblName", QStringLiteral("青衡六爻"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);
    head->addWidget(name);
    head->addStretch();
    column->addLayout(head);

    column->addWidget(
        makeLabel(this, "LblVersion", QStringLiteral("版本 %1").arg(QString::fromUtf8(kProgramVersion.data()))));
    column->addWidget(makeLabel(
        this, "LblWhat", QStringLiteral("六爻起卦、排盘、断卦与卦例管理的桌面程序，附命令行程序 qingheng-cli。")));
    column->addWidget(
        makeLabel(this, "LblLicence", QStringLiteral("以 MIT 许可证发布 · 版权所有 © 2026 The Qingheng authors")));

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName("Btnok");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    column->addLayout(buttons);
}

}  // namespace qingheng
