#include "ui/main/Untpanefile.h"

#include <QFile>
#include <QPrinter>
#include <QTextDocument>

#include <optional>
#include <string>

#include "platform/Rtf.h"
#include "ui/common/Untprompt.h"
#include "ui/main/Untreportpane.h"
#include "ui/render/ReportPicture.h"

namespace qingheng {
namespace {

// Captions of the plain boxes come from the program's title, as its other plain messages do.
const QString kProgramTitle = QStringLiteral("青衡六爻V3.3");

std::filesystem::path toPath(const QString& name) { return QFile::encodeName(name).toStdString(); }

// Empties the pane and makes what is typed next plain black text in the pane's font.
void emptyPane(TReportPane& pane) {
    pane.clearReport();
    QTextCharFormat format;
    format.setFontFamilies({pane.reportFontFamily()});
    format.setFontPointSize(pane.reportFontSize());
    format.setForeground(Qt::black);
    format.setFontWeight(QFont::Normal);
    format.setFontItalic(false);
    format.setFontUnderline(false);
    pane.setCurrentCharFormat(format);
}

// The name chosen in a save dialog with one filter, with the filter's extension added when
// the name lacks it; empty when the dialog was cancelled.
QString chooseSaveName(QWidget* parent, const QString& filter, const QString& extension) {
    const QString name = prompts().saveFile(parent, filter);
    if (name.isEmpty() || name.endsWith(extension, Qt::CaseInsensitive)) return name;
    return name + extension;
}

// An empty pane has nothing to draw: said instead of asking for a file name.
bool hasTextToSave(QWidget* parent, const TReportPane& pane) {
    if (!pane.document()->isEmpty()) return true;
    prompts().info(parent, QStringLiteral("报告是空的，没有可导出的内容。"));
    return false;
}

void reportSaved(QWidget* parent, const Status& status) {
    if (!status) {
        prompts().stop(parent, QString::fromStdString(status.message));
        return;
    }
    prompts().message(parent, QStringLiteral("已保存！"), kProgramTitle, PromptIcon::None);
}

std::optional<StyledDocument> readDocument(const std::filesystem::path& path, QString* error) {
    std::string message;
    auto doc = loadRtfOrTextFile(path, &message);
    if (!doc && error) *error = QString::fromStdString(message);
    return doc;
}

}  // namespace

bool saveReportFile(const TReportPane& pane, const std::filesystem::path& path, QString* error) {
    const Status status = saveRtfFile(path, pane.styledDocument());
    if (!status && error) *error = QString::fromStdString(status.message);
    return status.ok;
}

bool loadReportFile(TReportPane& pane, const std::filesystem::path& path, QString* error) {
    const auto doc = readDocument(path, error);
    if (!doc) return false;
    pane.showDocument(*doc);
    pane.document()->setModified(false);
    return true;
}

void importIntoPane(QWidget* parent, TReportPane& pane) {
    int filter = 0;
    const QString name = prompts().openFile(parent, QStringLiteral("All.rtf|*.rtf|All.txt|*.txt"), QString(), &filter);
    if (name.isEmpty()) return;
    emptyPane(pane);
    const auto doc = readDocument(toPath(name), nullptr);
    if (!doc) {
        prompts().message(parent, QStringLiteral("导入文件出错,请重试一次"), QStringLiteral("重试一次"),
                          PromptIcon::None);
        return;
    }
    pane.showDocument(*doc);
    // The pane no longer shows the stored report of the case, so leaving the case asks to save.
    pane.document()->setModified(true);
}

void savePaneAs(QWidget* parent, const TReportPane& pane) {
    int filter = 0;
    const QString name = prompts().saveFile(parent, QStringLiteral("Rtf格式|*.rtf|Txt格式|*.txt"), &filter);
    if (name.isEmpty()) return;
    const StyledDocument doc = pane.styledDocument();
    // The save dialog sets no extension itself: the filter's goes on when the name lacks it.
    const QString extension = filter == 0 ? QStringLiteral(".rtf") : QStringLiteral(".txt");
    const QString file = name.endsWith(extension, Qt::CaseInsensitive) ? name : name + extension;
    reportSaved(parent, filter == 0 ? saveRtfFile(toPath(file), doc) : savePlainTextFile(toPath(file), doc));
}

void savePanePicture(QWidget* parent, const TReportPane& pane) {
    if (!hasTextToSave(parent, pane)) return;
    const QString file = chooseSaveName(parent, QStringLiteral("PNG图片|*.png"), QStringLiteral(".png"));
    if (file.isEmpty()) return;
    reportSaved(parent, writeReportPng(*pane.document(), ReportLook{pane.backgroundColor()}, toPath(file)));
}

void savePanePdf(QWidget* parent, const TReportPane& pane) {
    if (!hasTextToSave(parent, pane)) return;
    const QString file = chooseSaveName(parent, QStringLiteral("PDF文档|*.pdf"), QStringLiteral(".pdf"));
    if (file.isEmpty()) return;
    reportSaved(parent, writeReportPdf(*pane.document(), toPath(file)));
}

void printPane(QWidget* parent, const TReportPane& pane) {
    if (!prompts().question(parent, QStringLiteral("准备开始打印吗?"), QStringLiteral("打印"), PromptIcon::Information))
        return;
    QPrinter printer(QPrinter::HighResolution);
    if (!prompts().choosePrinter(parent, printer)) return;
    printer.setDocName(QString());
    // QTextDocument::print stays silent when it cannot start; the printer's state tells.
    if (printer.isValid()) pane.document()->print(&printer);
    if (!printer.isValid() || printer.printerState() == QPrinter::Error)
        prompts().message(parent, QStringLiteral("打印错误，请检查打印设备！"), QStringLiteral("打印错误"),
                          PromptIcon::Stop);
}

}  // namespace qingheng
