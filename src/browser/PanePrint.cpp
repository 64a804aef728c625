#include "browser/PanePrint.h"

#include "common/AppError.h"
#include "widgets/PaneText.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QVBoxLayout>
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
    if (QWidget *tab = choiceTab(parent))
        dialog.setOptionTabs({tab});
    return dialog.exec() == QDialog::Accepted;
});

QWidget *choiceTab(QWidget *window)
{
    QAction *bare = window ? window->findChild<QAction *>(QStringLiteral("BarePrintAction"), Qt::FindDirectChildrenOnly)
                           : nullptr;
    if (!bare)
        return nullptr;
    auto *tab = new QWidget;
    tab->setObjectName(QStringLiteral("PrintChoiceTab"));
    tab->setWindowTitle(QCoreApplication::translate("PanePrint", "引用与页码"));
    tab->setAccessibleName(tab->windowTitle());
    auto *box = new QCheckBox(bare->text(), tab);
    box->setObjectName(QStringLiteral("BarePrintBox"));
    box->setAccessibleName(bare->text());
    box->setChecked(bare->isChecked());
    QObject::connect(box, &QCheckBox::toggled, bare, &QAction::setChecked);
    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(box);
    layout->addStretch();
    return tab;
}

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

namespace {

constexpr qreal WritingMarginMm = 20;

void failIfPrinterFailed(const QPrinter &printer)
{
    if (printer.printerState() == QPrinter::Error)
        throw AppError(AppError::FileOpen, QCoreApplication::translate("PanePrint", "打印失败：打印机 \"%1\" 未能完成打印作业")
                                               .arg(printer.printerName().isEmpty() ? printer.outputFileName()
                                                                                    : printer.printerName()));
}

// The citation as the document's first paragraph, bold, a line's space under it.
void putHeading(QTextDocument &document, const QString &citation)
{
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::Start);
    cursor.insertBlock();
    cursor.movePosition(QTextCursor::Start);
    QTextBlockFormat block;
    block.setBottomMargin(QFontMetricsF(document.defaultFont()).height());
    cursor.setBlockFormat(block);
    QTextCharFormat heading;
    heading.setFontWeight(QFont::Bold);
    cursor.insertText(citation, heading);
}

void drawPage(QPainter &painter, QTextDocument &document, const QRectF &body, int page)
{
    painter.save();
    painter.translate(body.left(), body.top() - page * body.height());
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(0, page * body.height(), body.width(), body.height());
    context.palette.setColor(QPalette::Text, Qt::black); // paper is white whatever the screen's scheme
    painter.setClipRect(context.clip);
    document.documentLayout()->draw(&painter, context);
    painter.restore();
}

void drawFoot(QPainter &painter, const QFont &font, const QRectF &foot, int page, int pages)
{
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(foot, Qt::AlignCenter, QCoreApplication::translate("PanePrint", "第 %1 页，共 %2 页").arg(page).arg(pages));
    painter.restore();
}

} // namespace

void printCited(const QPlainTextEdit *pane, const QFont &designedFont, QPrinter &printer, const QString &citation)
{
    printer.setDocName(QString());
    printer.setFullPage(false);
    const std::unique_ptr<QTextDocument> document = paperDocument(pane, designedFont, printer);
    const QRectF area(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    const qreal margin = WritingMarginMm / 25.4 * printer.resolution();
    const QRectF body = area.adjusted(margin, margin, -margin, -margin);
    // The heading goes in first: the page size then lays the whole text out
    // again (after an insertion alone pageCount() saw only part of it).
    putHeading(*document, citation);
    document->setPageSize(body.size());
    const int pages = document->pageCount();
    const int from = printer.fromPage() > 0 ? printer.fromPage() : 1;
    const int to = printer.toPage() > 0 ? qMin(printer.toPage(), pages) : pages;
    const QFont footFont = document->defaultFont();
    const QRectF foot(body.left(), body.bottom(), body.width(), margin);
    QPainter painter(&printer);
    for (int page = from; page <= to; ++page) {
        if (page > from)
            printer.newPage();
        drawPage(painter, *document, body, page - 1);
        drawFoot(painter, footFont, foot, page, pages);
    }
    painter.end();
    failIfPrinterFailed(printer);
}

void print(const QPlainTextEdit *pane, const QFont &designedFont, QPrinter &printer)
{
    printer.setDocName(QString());
    printer.setFullPage(false);
    const std::unique_ptr<QTextDocument> document = paperDocument(pane, designedFont, printer);
    // A document with a page size is printed as it is laid out, the pages
    // the print dialog chose.
    document->print(&printer);
    failIfPrinterFailed(printer);
}

} // namespace PanePrint
