// qingheng-cli chart … --png FILE / --pdf FILE: the chart's report as the report pane would
// save it, drawn offscreen by the same code as the window (src/ui/render).
#include <QTextDocument>

#include "ChartPicture.h"
#include "Commands.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "platform/Settings.h"
#include "ui/render/ReportDocument.h"
#include "ui/render/ReportPicture.h"

namespace qingheng::cli {

void addChartPictureOptions(CLI::App* cmd, ChartPictureArgs& a) {
    cmd->add_option("--png", a.png, "save the report as a PNG picture at twice the scale (no text printed)");
    cmd->add_option("--pdf", a.pdf, "save the report as a PDF document (no text printed)");
    cmd->add_flag("--plum", a.plum, "picture the plum-blossom report (梅花解卦) instead of the six-lines report");
}

void writeChartPictures(const CLiuYaoEx& engine, const ChartPictureArgs& a) {
    const OffscreenGui gui;
    installReportFontSubstitutes();
    // The report panes' font and background, as the window would start with them.
    const WindowSettings look = readWindowSettings(IniFile(datFileToRead(kLyInitFile)));
    const QString family = QString::fromStdString(look.fontName);
    const std::string& text = a.plum ? engine.hexText : engine.lineText;
    const std::vector<StyleSpan>& spans = a.plum ? engine.hexSpans : engine.lineSpans;
    QTextDocument document;
    fillReportDocument(document, applySpans(text, spans, look.fontName, look.fontSize), family, look.fontSize);
    const Rgb background = rgbFromColorRef(static_cast<std::uint32_t>(look.backColor));
    if (!a.png.empty()) {
        const Status written =
            writeReportPng(document, ReportLook{QColor(background.r, background.g, background.b)}, a.png);
        if (!written) throw CommandError{written.message};
    }
    if (!a.pdf.empty()) {
        const Status written = writeReportPdf(document, a.pdf);
        if (!written) throw CommandError{written.message};
    }
}

}  // namespace qingheng::cli
