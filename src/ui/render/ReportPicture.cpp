#include "ui/render/ReportPicture.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QScreen>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "platform/FileUtil.h"
#include "ui/render/ReportDocument.h"

namespace qingheng {
namespace {

constexpr qreal kPictureMargin = 16;  // around the text, in layout pixels
constexpr qreal kPdfMarginMm = 12;

// A copy of the document laid out for a picture: unbounded by a pane's width, wrapped at
// kPictureColumns so that long paragraphs stay readable and chart rows stay whole.
std::unique_ptr<QTextDocument> pictureLayout(const QTextDocument& document) {
    std::unique_ptr<QTextDocument> copy(document.clone());
    useUnhintedFonts(*copy);
    copy->setDocumentMargin(kPictureMargin);
    QTextOption option = copy->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    copy->setDefaultTextOption(option);
    const qreal column = QFontMetricsF(copy->defaultFont()).horizontalAdvance(QLatin1Char(' '));
    copy->setTextWidth(kPictureColumns * column + 2 * kPictureMargin);
    return copy;
}

// The resolution documents are laid out at when no device is given: the screen's, as Qt
// resolves point sizes for the report panes.
qreal layoutDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? std::round(screen->logicalDotsPerInchY()) : 100.0;
}

// The vertical extent of every text line, top to bottom, for page breaks between lines.
std::vector<std::pair<qreal, qreal>> lineExtents(const QTextDocument& document) {
    std::vector<std::pair<qreal, qreal>> lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const qreal top = document.documentLayout()->blockBoundingRect(block).top();
        const QTextLayout* layout = block.layout();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            lines.emplace_back(top + line.y(), top + line.y() + line.height());
        }
    }
    return lines;
}

// Page tops: each page holds whole lines and at most pageHeight.
std::vector<qreal> pageTops(const QTextDocument& document, qreal pageHeight) {
    std::vector<qreal> tops{0};
    for (const auto& [top, bottom] : lineExtents(document)) {
        if (bottom - tops.back() > pageHeight && top > tops.back()) tops.push_back(top);
    }
    return tops;
}

Status writeBytes(const QByteArray& bytes, const std::filesystem::path& file) {
    return writeFileAtomically(file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace

QImage reportImage(const QTextDocument& document, const ReportLook& look) {
    const std::unique_ptr<QTextDocument> layout = pictureLayout(document);
    const QSizeF size = layout->size();
    QImage image(static_cast<int>(std::ceil(size.width())) * kPictureScale,
                 static_cast<int>(std::ceil(size.height())) * kPictureScale, QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.setDevicePixelRatio(kPictureScale);
    image.fill(look.background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    layout->drawContents(&painter);
    return image;
}

Status writeReportPng(const QTextDocument& document, const ReportLook& look, const std::filesystem::path& file) {
    const QImage image = reportImage(document, look);
    if (image.isNull()) return Status::failure("报告太长，无法存成一张图片，请改存为PDF。");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return Status::failure("无法生成图片。");
    return writeBytes(bytes, file);
}

Status writeReportPdf(const QTextDocument& document, const std::filesystem::path& file) {
    const std::unique_ptr<QTextDocument> layout = pictureLayout(document);
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("青衡六爻"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(kPdfMarginMm, kPdfMarginMm, kPdfMarginMm, kPdfMarginMm),
                              QPageLayout::Millimeter);
        QPainter painter;
        if (!painter.begin(&writer)) return Status::failure("无法生成PDF文档。");
        // Point sizes print as point sizes; a text wider than the page is scaled to fit it.
        const qreal width = layout->size().width();
        const qreal scale = std::min(writer.logicalDpiX() / layoutDpi(), writer.width() / width);
        const qreal pageHeight = writer.height() / scale;
        const std::vector<qreal> tops = pageTops(*layout, pageHeight);
        for (std::size_t page = 0; page < tops.size(); ++page) {
            if (page > 0) writer.newPage();
            const qreal bottom = page + 1 < tops.size() ? tops[page + 1] : layout->size().height();
            painter.save();
            painter.scale(scale, scale);
            painter.translate(0, -tops[page]);
            layout->drawContents(&painter, QRectF(0, tops[page], width, bottom - tops[page]));
            painter.restore();
        }
        if (!painter.end()) return Status::failure("无法生成PDF文档。");
    }
    return writeBytes(bytes, file);
}

namespace {
// The application object keeps argc and argv for its life.
int offscreenArgc = 3;
char offscreenProgram[] = "qingheng-cli";
char offscreenOption[] = "-platform";
char offscreenPlatform[] = "offscreen";
char* offscreenArgv[] = {offscreenProgram, offscreenOption, offscreenPlatform, nullptr};
}  // namespace

OffscreenGui::OffscreenGui() {
    if (QGuiApplication::instance()) return;
    app_ = std::make_unique<QGuiApplication>(offscreenArgc, offscreenArgv);
}

OffscreenGui::~OffscreenGui() = default;

}  // namespace qingheng
