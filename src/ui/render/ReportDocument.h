#pragma once
// A report as a Qt text document: the engine's text with its emphasis, or the styled runs of
// a report file, in the report font. The report panes show such a document and the chart
// pictures draw one, so a picture looks like the pane. QtGui only: the command line uses it
// without widgets.
#include <QString>

#include "platform/StyledText.h"

class QTextDocument;

namespace qingheng {

// The report font name and its stand-in: where the system has no "宋体", a Song-style font
// whose CJK characters take exactly two half-width columns keeps the chart columns aligned.
inline constexpr const char* kReportFontName = "宋体";
void installReportFontSubstitutes();

// Replaces the document's content with the runs, in family at pointSize: runs keep their
// distance from the styled document's base size. Characters that the font draws narrower or
// wider than their two GBK columns are spaced to two columns, so the chart columns align.
void fillReportDocument(QTextDocument& document, const StyledDocument& styled, const QString& family, int pointSize);

// Sets the document in unhinted fonts, the columns aligned anew. Hinted metrics depend on what
// the process drew before (a font face is shared by its sizes), so a picture laid out this way
// comes out the same from the window and from the command line.
void useUnhintedFonts(QTextDocument& document);

}  // namespace qingheng
