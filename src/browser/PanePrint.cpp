#include "browser/PanePrint.h"

#include "common/AppError.h"
#include "common/PaneText.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QTextFrame>
#include <memory>
#include <QCoreApplication>

namespace PanePrint {

Seam<bool(QPrinter &, QWidget *)> runDialog([](QPrinter &printer, QWidget *parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("PrintDialog1"));
    return dialog.exec() == QDialog::Accepted;
});

QFont printingFont(QFont font)
{
    // Qt's PDFs name each glyph by the first code point that maps to it, so
    // text copied from Noto CJK comes back with Kangxi radicals (⼀ for 一) and
    // without its digits. Pages are set in faces that copy exactly: Latin and
    // digits in Nimbus Roman, Chinese and its punctuation (mainland forms) in
    // AR PL SungtiL GB, what lies outside GB2312 in UMing.
    font.setFamilies({QStringLiteral("Nimbus Roman"), QStringLiteral("AR PL SungtiL GB"),
                      QStringLiteral("AR PL UMing CN")});
    // A pixel size means device pixels to a printer: print in points instead,
    // so the page shows the pane's text at the size the screen shows it.
    if (font.pixelSize() > 0)
        font.setPointSizeF(font.pixelSize() * 72.0 / 96.0);
    return font;
}

// Lays the pane's text out over the full printable area with nothing added:
// no margins of its own, no page numbers (QTextDocument::print adds both only
// to a document without a page size).
std::unique_ptr<QTextDocument> paperDocument(const QPlainTextEdit *pane, const QFont &designedFont, QPrinter &printer)
{
    // The text as stored: the pieces of a long line the pane holds apart
    // are one line again on paper.
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultTextOption(pane->document()->defaultTextOption());
    document->setPlainText(PaneText::fromStored(PaneText::text(pane)));
    document->documentLayout()->setPaintDevice(&printer);
    document->setDefaultFont(printingFont(designedFont));
    QTextFrameFormat frame = document->rootFrame()->frameFormat();
    frame.setMargin(0);
    document->rootFrame()->setFrameFormat(frame);
    const QSizeF page = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    document->setPageSize(page);
    return document;
}

void print(const QPlainTextEdit *pane, const QFont &designedFont, QPrinter &printer)
{
    printer.setDocName(QString());
    printer.setFullPage(false);
    const std::unique_ptr<QTextDocument> document = paperDocument(pane, designedFont, printer);
    // A document with a page size is printed as it is laid out, the pages
    // the print dialog chose.
    document->print(&printer);
    if (printer.printerState() == QPrinter::Error)
        throw AppError(AppError::FileOpen, QCoreApplication::translate("PanePrint", "打印失败：打印机 \"%1\" 未能完成打印作业")
                                               .arg(printer.printerName().isEmpty() ? printer.outputFileName()
                                                                                    : printer.printerName()));
}

} // namespace PanePrint
