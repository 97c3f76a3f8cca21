#include "ui/main/Untreportpane.h"

#include <QFontInfo>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>

namespace qingheng {
namespace {

Rgb toRgb(const QColor& c) {
    return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
            static_cast<std::uint8_t>(c.blue())};
}

}  // namespace

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
    fillReportDocument(*document(), doc, family_, pointSize_);
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
