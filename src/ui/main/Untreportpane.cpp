#include "ui/main/Untreportpane.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>

#include <cmath>

namespace qingheng {
namespace {

QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }
Rgb toRgb(const QColor& c) {
    return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
            static_cast<std::uint8_t>(c.blue())};
}

QTextCharFormat formatOf(const TextStyle& style, const QString& family) {
    QTextCharFormat format;
    format.setFontFamilies({family});
    format.setFontPointSize(style.pointSize);
    format.setForeground(toQColor(style.color));
    format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
    return format;
}

}  // namespace

void installReportFontSubstitutes() {
    const QString song = QString::fromUtf8(kReportFontName);
    if (QFontDatabase::families().contains(song)) return;
    QFont::insertSubstitutions(song, {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW")});
}

TReportPane::TReportPane(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(true);
    setLineWrapMode(QTextEdit::NoWrap);
    setReportFont(family_, pointSize_);
}

void TReportPane::setReportFont(const QString& family, int pointSize) {
    const StyledDocument doc = styledDocument();
    family_ = family;
    pointSize_ = pointSize > 0 ? pointSize : 12;
    QFont font(family_);
    font.setPointSize(pointSize_);
    document()->setDefaultFont(font);
    setFont(font);
    // Re-apply to the present content so that a font change shows at once; sizes of the
    // smaller analysis section keep their distance from the base size.
    if (!doc.runs.empty()) showDocument(doc);
}

void TReportPane::setBackgroundColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

QString TReportPane::drawnFontFamily() const { return QFontInfo(document()->defaultFont()).family(); }

QColor TReportPane::backgroundColor() const { return palette().color(QPalette::Base); }

void TReportPane::showReport(const std::string& text, const std::vector<StyleSpan>& spans) {
    showDocument(applySpans(text, spans, family_.toStdString(), pointSize_));
}

void TReportPane::showDocument(const StyledDocument& doc) {
    QTextEdit::clear();
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (const StyledRun& run : doc.runs) {
        TextStyle style = run.style;
        // Runs keep their distance from the document's base size in this pane's size.
        style.pointSize = pointSize_ + (run.style.pointSize - doc.basePointSize);
        cursor.insertText(QString::fromStdString(run.text), formatOf(style, family_));
    }
    cursor.endEditBlock();
    widenNarrowDoubleByteCharacters();
    moveCursor(QTextCursor::Start);
    document()->setModified(false);
}

StyledDocument TReportPane::styledDocument() const {
    StyledDocument doc;
    doc.fontName = family_.toStdString();
    doc.basePointSize = pointSize_;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) continue;
            const QTextCharFormat f = fragment.charFormat();
            TextStyle style;
            style.color = f.foreground().style() == Qt::NoBrush ? kBlack : toRgb(f.foreground().color());
            style.bold = f.fontWeight() >= QFont::Bold;
            style.pointSize = f.fontPointSize() > 0 ? static_cast<int>(f.fontPointSize() + 0.5) : pointSize_;
            std::string text = fragment.text().toStdString();
            if (!doc.runs.empty() && doc.runs.back().style == style) doc.runs.back().text += text;
            else doc.runs.push_back({std::move(text), style});
        }
        if (block.next().isValid()) {
            if (doc.runs.empty()) doc.runs.push_back({"", TextStyle{kBlack, false, pointSize_}});
            doc.runs.back().text += '\n';
        }
    }
    return doc;
}

// A character that takes two bytes in GBK must take two columns on screen, or the chart
// columns after it shift. Fonts draw a few such characters (×) half-width, and a font whose
// Latin letters are narrow draws Chinese wider than two of them: the letter spacing makes up
// the difference either way. Only the look changes; the text stays as written.
void TReportPane::widenNarrowDoubleByteCharacters() {
    QHash<QPair<char32_t, int>, qreal> deficits;
    QTextCursor cursor(document());
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
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

std::string TReportPane::plainUtf8() const { return toPlainText().toStdString(); }

void TReportPane::clearReport() {
    QTextEdit::clear();
    setToolTip(QString());
    document()->setModified(false);
}

void TReportPane::mouseReleaseEvent(QMouseEvent* event) {
    QTextEdit::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) return;
    const bool leftHalf = event->position().x() < viewport()->width() / 2.0;
    emit lineClicked(textCursor().blockNumber() + 1, leftHalf);
}

}  // namespace qingheng
