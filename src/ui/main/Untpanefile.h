#pragma once
// File operations of a report pane: the case report files the main window keeps (id.rtf,
// idm.rtf), and the pane's context menu commands to import a file, save the pane under a
// new name and print it. Each acts only on the pane it is given.
#include <QString>

#include <filesystem>

class QWidget;

namespace qingheng {

class TReportPane;

// Writes the pane's text with its colours, weights and sizes as RTF (replacing the file
// atomically). The pane's modified flag is left to the caller. False with a message on failure.
bool saveReportFile(const TReportPane& pane, const std::filesystem::path& path, QString* error);

// Shows a report file (RTF, or plain text when the file is not RTF) in the pane and marks the
// pane unmodified. On failure the pane keeps what it held and error receives a message.
bool loadReportFile(TReportPane& pane, const std::filesystem::path& path, QString* error);

// "导入八卦文件": asks for an .rtf or .txt file and shows it in the emptied pane.
void importIntoPane(QWidget* parent, TReportPane& pane);

// "另存为": asks for a name and writes the pane as RTF or as GBK plain text.
void savePaneAs(QWidget* parent, const TReportPane& pane);

// "导出图片": asks for a name and saves the pane's whole text as a PNG picture at twice the
// scale, in the pane's font, colours and background.
void savePanePicture(QWidget* parent, const TReportPane& pane);

// "导出PDF": asks for a name and saves the pane's whole text as a PDF document.
void savePanePdf(QWidget* parent, const TReportPane& pane);

// "打印卦例": asks, shows the print dialog and prints the pane's whole text.
void printPane(QWidget* parent, const TReportPane& pane);

}  // namespace qingheng
