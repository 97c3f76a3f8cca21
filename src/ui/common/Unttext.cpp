#include "ui/common/Unttext.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>

#include <algorithm>
#include <optional>

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

namespace {

// The text with what was just typed or pasted before the cursor cut back to make the whole
// fit maxBytes; the text after the cursor stays. Nullopt when it fits already.
struct Kept {
    QString text;
    qsizetype cursor;
};
std::optional<Kept> cutTypedText(const QString& text, qsizetype cursor, int maxBytes, int extraBytes = 0) {
    if (gbk::width(text.toStdString()) + extraBytes <= maxBytes) return std::nullopt;
    const std::string after = text.mid(cursor).toStdString();
    const int room = std::max(0, maxBytes - extraBytes - gbk::width(after));
    const QString before = QString::fromStdString(gbk::truncate(text.left(cursor).toStdString(), room));
    const QString rest = QString::fromStdString(gbk::truncate(after, maxBytes - extraBytes));
    return Kept{before + rest, before.size()};
}

}  // namespace

void limitEditBytes(QLineEdit* edit, int maxBytes) {
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, maxBytes](const QString& text) {
        const auto kept = cutTypedText(text, edit->cursorPosition(), maxBytes);
        if (!kept) return;
        edit->setText(kept->text);
        edit->setCursorPosition(static_cast<int>(kept->cursor));
    });
}

void limitMemoBytes(QPlainTextEdit* memo, int maxBytes) {
    QObject::connect(memo, &QPlainTextEdit::textChanged, memo, [memo, maxBytes] {
        const QString text = memo->toPlainText();
        // Each line break is stored as two bytes (carriage return and line feed).
        const auto kept = cutTypedText(text, memo->textCursor().position(), maxBytes,
                                       static_cast<int>(text.count(QLatin1Char('\n'))));
        if (!kept) return;
        const QSignalBlocker quiet(memo);
        memo->setPlainText(kept->text);
        QTextCursor cursor = memo->textCursor();
        cursor.setPosition(static_cast<int>(kept->cursor));
        memo->setTextCursor(cursor);
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
