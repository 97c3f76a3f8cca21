#include "ui/render/ReportDocument.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>
#include <vector>

namespace qingheng {
namespace {

QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

QTextCharFormat formatOf(const TextStyle& style, const QString& family) {
    QTextCharFormat format;
    format.setFontFamilies({family});
    format.setFontPointSize(style.pointSize);
    format.setForeground(toQColor(style.color));
    format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
    return format;
}

// A character that takes two bytes in GBK must take two columns on screen, or the chart
// columns after it shift. Fonts draw a few such characters (×) half-width, and a font whose
// Latin letters are narrow draws Chinese wider than two of them: the letter spacing makes up
// the difference either way. Only the look changes; the text stays as written.
void widenNarrowDoubleByteCharacters(QTextDocument& document) {
    QHash<QPair<char32_t, int>, qreal> deficits;
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        for (int i = 0; i < text.size(); ++i) {
            if (text[i].unicode() < 0x80 || text[i].isSurrogate()) continue;
            cursor.setPosition(block.position() + i);
            cursor.setPosition(block.position() + i + 1, QTextCursor::KeepAnchor);
            const QFont font = cursor.charFormat().font();
            const auto key = qMakePair(char32_t(text[i].unicode()), int(font.pointSizeF() * 10));
            if (!deficits.contains(key)) {
                const QFontMetricsF m(font);
                deficits[key] = 2 * m.horizontalAdvance(QLatin1Char(' ')) - m.horizontalAdvance(text[i]);
            }
            const qreal deficit = deficits[key];
            if (std::abs(deficit) <= 0.5) continue;
            QTextCharFormat pad;
            pad.setFontLetterSpacingType(QFont::AbsoluteSpacing);
            pad.setFontLetterSpacing(deficit);
            cursor.mergeCharFormat(pad);
        }
    }
}

}  // namespace

void useUnhintedFonts(QTextDocument& document) {
    QFont base = document.defaultFont();
    base.setHintingPreference(QFont::PreferNoHinting);
    document.setDefaultFont(base);
    // Formats are collected first: setting one joins and splits the fragments.
    struct Piece {
        int position, length;
        QTextCharFormat format;
    };
    std::vector<Piece> pieces;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            format.clearProperty(QTextFormat::FontLetterSpacing);
            format.clearProperty(QTextFormat::FontLetterSpacingType);
            format.setFontHintingPreference(QFont::PreferNoHinting);
            pieces.push_back({fragment.position(), fragment.length(), format});
        }
    }
    QTextCursor cursor(&document);
    for (const Piece& piece : pieces) {
        cursor.setPosition(piece.position);
        cursor.setPosition(piece.position + piece.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(piece.format);
    }
    widenNarrowDoubleByteCharacters(document);
}

void installReportFontSubstitutes() {
    const QString song = QString::fromUtf8(kReportFontName);
    if (QFontDatabase::families().contains(song)) return;
    QFont::insertSubstitutions(song, {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW")});
}

void fillReportDocument(QTextDocument& document, const StyledDocument& styled, const QString& family, int pointSize) {
    document.clear();
    QFont font(family);
    font.setPointSize(pointSize);
    document.setDefaultFont(font);
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const StyledRun& run : styled.runs) {
        TextStyle style = run.style;
        style.pointSize = pointSize + (run.style.pointSize - styled.basePointSize);
        cursor.insertText(QString::fromStdString(run.text), formatOf(style, family));
    }
    cursor.endEditBlock();
    widenNarrowDoubleByteCharacters(document);
}

}  // namespace qingheng
