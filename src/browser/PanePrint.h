#pragma once

#include "common/Seam.h"

#include <QFont>
#include <memory>

class QPlainTextEdit;
class QPrinter;
class QTextDocument;
class QWidget;

// Printing the reading pane: its whole text as one job over the printable
// area, in faces whose PDFs copy back exactly.
namespace PanePrint {

// The font the pane prints in, from the pane's designed font.
QFont printingFont(QFont font);
// The pane's text as stored, laid out for the printer's pages.
std::unique_ptr<QTextDocument> paperDocument(const QPlainTextEdit *pane, const QFont &designedFont, QPrinter &printer);
// Prints the pane's text; throws AppError when the printer fails.
void print(const QPlainTextEdit *pane, const QFont &designedFont, QPrinter &printer);
// Prints the pane's text within margins a reader can write in: the citation
// as a heading on the first page, "第 N 页，共 M 页" at the foot of every page.
// Throws AppError when the printer fails.
void printCited(const QPlainTextEdit *pane, const QFont &designedFont, QPrinter &printer, const QString &citation);
// The print dialog; true when the reader chose to print.
extern Seam<bool(QPrinter &, QWidget *)> runDialog;
// The print dialog's tab for the window's choice of a bare print (its
// checkable action "BarePrintAction"), or null when window offers none.
QWidget *choiceTab(QWidget *window);

} // namespace PanePrint
