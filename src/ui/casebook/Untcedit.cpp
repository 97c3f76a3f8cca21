#include "ui/casebook/Untcedit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include "platform/Gbk.h"
#include "platform/ProgramFolder.h"
#include "platform/Settings.h"
#include "ui/casebook/Untflei.h"
#include "ui/common/Untprompt.h"

namespace qingheng {
namespace {

// The memo's lines as a line list counts them: a final line break ends the last line
// rather than starting an empty one.
QStringList memoLines(const QString& text) {
    if (text.isEmpty()) return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n'))) lines.removeLast();
    return lines;
}

bool isAcceptableCategory(const QString& name) {
    const std::string utf8 = name.toStdString();
    return !name.isEmpty() && gbk::canEncode(utf8) && gbk::width(utf8) <= lyinit::kMaxCategoryBytes;
}

}  // namespace

TFrmClassEdit::TFrmClassEdit(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmClassEdit");
    setWindowTitle(QStringLiteral("类别编辑"));

    auto* hint = new QLabel(QStringLiteral("一行一个类别，类别名最长6个汉字"), this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    QString text;
    const IniFile ini(datFile(kLyInitFile));
    for (const std::string& name : readCategories(ini, MissingCategory::EmptyLine)) {
        text += QString::fromStdString(name) + QLatin1Char('\n');
    }
    Memo1->setPlainText(text);

    auto* save = new QPushButton(QStringLiteral("保存"), this);
    save->setObjectName("Btnsave");
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName("Btncancel");
    connect(save, &QPushButton::clicked, this, &TFrmClassEdit::BtnsaveClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(Memo1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    resize(280, 360);
}

// Back to the text with the caret on the refused line, so the user can mend it at once.
void TFrmClassEdit::showLine(int line) {
    QTextCursor cursor(Memo1->document()->findBlockByNumber(line));
    cursor.movePosition(QTextCursor::EndOfBlock);
    Memo1->setTextCursor(cursor);
    Memo1->setFocus();
}

void TFrmClassEdit::BtnsaveClick() {
    const QStringList lines = memoLines(Memo1->toPlainText());
    if (lines.isEmpty()) {
        prompts().stop(this, QStringLiteral("类别不能为空"));
        Memo1->setFocus();
        return;
    }
    std::vector<std::string> names;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = trimBlanks(lines[i]);
        if (!isAcceptableCategory(name)) {
            prompts().stop(this, QStringLiteral("第%1行类别名不合规定，不能加入。").arg(i + 1));
            showLine(static_cast<int>(i));
            return;
        }
        names.push_back(name.toStdString());
    }
    IniFile ini(datFile(kLyInitFile));
    writeCategories(ini, names);
    if (const Status s = ini.save(); !s) {
        prompts().stop(this, QString::fromStdString(s.message));
        return;
    }
    accept();
}

}  // namespace qingheng
