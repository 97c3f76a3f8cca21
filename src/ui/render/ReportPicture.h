#pragma once
// Pictures of a report: a PNG at twice the scale and a PDF of A4 pages, drawn from the text
// document a report pane shows (or one built the same way). The whole text is drawn, not
// the part a pane scrolls to, wrapped at a width that keeps every chart row on one line.
// QtGui only: the window and the command line draw with the same code.
#include <QColor>

#include <filesystem>
#include <memory>

#include "platform/Status.h"

class QGuiApplication;
class QImage;
class QTextDocument;

namespace qingheng {

// The report's look around its text.
struct ReportLook {
    QColor background = Qt::white;  // the picture's background; PDF pages stay white paper
};

// How wide the pictures set the text: this many half-width columns of the document's font.
inline constexpr int kPictureColumns = 80;
// The scale of a PNG against the document's layout in pixels.
inline constexpr int kPictureScale = 2;

// The report drawn at kPictureScale on its background.
QImage reportImage(const QTextDocument& document, const ReportLook& look);

// Writes reportImage as PNG, or the report as a PDF (text stays text); a file that cannot be
// written gives a message naming it.
Status writeReportPng(const QTextDocument& document, const ReportLook& look, const std::filesystem::path& file);
Status writeReportPdf(const QTextDocument& document, const std::filesystem::path& file);

// The command line has no window: it starts the GUI layer on the offscreen platform, only
// for the commands that draw. Does nothing when an application object already exists.
class OffscreenGui {
public:
    OffscreenGui();
    ~OffscreenGui();
    OffscreenGui(const OffscreenGui&) = delete;
    OffscreenGui& operator=(const OffscreenGui&) = delete;

private:
    std::unique_ptr<QGuiApplication> app_;
};

}  // namespace qingheng
