#include "ui/common/Unttext.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "platform/Gbk.h"
#include "ui/common/Untprompt.h"

namespace qingheng {

QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= ' ') ++first;
    while (last > first && text[last - 1].unicode() <= ' ') --last;
    return text.mid(first, last - first);
}

void limitMemoLength(QPlainTextEdit* memo, int maxChars) {
    QObject::connect(memo, &QPlainTextEdit::textChanged, memo, [memo, maxChars] {
        const QString text = memo->toPlainText();
        if (text.size() <= maxChars) return;
        QString kept = text.left(maxChars);
        if (!kept.isEmpty() && kept.back().isHighSurrogate()) kept.chop(1);  // never half a character
        memo->setPlainText(kept);
        memo->moveCursor(QTextCursor::End);
    });
}

void limitEditBytes(QLineEdit* edit, int maxBytes) {
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, maxBytes](const QString& text) {
        const std::string typed = text.toStdString();
        const std::string cut = gbk::truncate(typed, maxBytes);
        if (cut != typed) edit->setText(QString::fromStdString(cut));
    });
}

std::string memoToStored(const QString& text) {
    QString stored = text;
    stored.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    stored.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return stored.toStdString();
}

QString storedToMemo(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

bool acceptCaseText(QWidget* parent, CaseField field, const QString& text) {
    const Status s = checkCaseText(field, text.toStdString());
    if (!s) prompts().stop(parent, QString::fromStdString(s.message));
    return s.ok;
}

}  // namespace qingheng
