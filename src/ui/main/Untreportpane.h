#pragma once
// A report pane: a rich-text editor that shows the engine's text with its style spans in the
// report font, reads its content back as styled runs for saving, and reports which text line
// a left click landed on.
#include <QTextEdit>

#include <string>
#include <vector>

#include "platform/StyledText.h"
#include "ui/render/ReportDocument.h"

namespace qingheng {

class TReportPane : public QTextEdit {
    Q_OBJECT
public:
    explicit TReportPane(QWidget* parent = nullptr);

    void setReportFont(const QString& family, int pointSize);
    QString reportFontFamily() const { return family_; }
    // The family the system draws the report font with (its stand-in when it has no 宋体).
    QString drawnFontFamily() const;
    int reportFontSize() const { return pointSize_; }
    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const;

    // Replaces the content: text as the engine wrote it ("\r\n" or "\n" rows) with its spans.
    void showReport(const std::string& text, const std::vector<StyleSpan>& spans);
    // Replaces the content with styled runs (a loaded rich-text file).
    void showDocument(const StyledDocument& doc);
    // The content as styled runs, in the pane's font.
    StyledDocument styledDocument() const;
    // The content as plain text with "\n" line breaks.
    std::string plainUtf8() const;
    void clearReport();

signals:
    // A left click: row is the 1-based text line holding the caret after the click;
    // leftHalf tells whether the click was in the left half of the pane.
    void lineClicked(int row, bool leftHalf);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString family_ = QString::fromUtf8(kReportFontName);
    int pointSize_ = 12;
};

}  // namespace qingheng
