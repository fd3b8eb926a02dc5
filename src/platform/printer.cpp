// Laying print-outs out on paper or PDF, and the desktop printer with its preview window.

#include "printer.h"

#include "filestore.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace gx {

QPageLayout printPageLayout(QPageSize::PageSizeId size)
{
    return QPageLayout(QPageSize(size), QPageLayout::Portrait, QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
}

void paintDocument(QPagedPaintDevice& device, const PrintDocument& document)
{
    QPainter painter;
    if (!painter.begin(&device))
        return;
    QFont font(document.fontFamily);
    font.setPointSize(document.pointSize);
    painter.setFont(font);
    const QFontMetricsF metrics(font, &device);
    const qreal bottom = device.height();
    qsizetype longest = 1;
    for (const QList<PrintLine>& page : document.pages)
        longest = std::max(longest, page.size());
    const qreal natural = metrics.lineSpacing();
    const qreal lineHeight = std::max(0.85 * natural, std::min(natural, bottom / qreal(longest)));
    const qreal column = metrics.horizontalAdvance(QLatin1Char('0'));
    const qreal space = metrics.horizontalAdvance(QLatin1Char(' '));

    bool firstPage = true;
    for (const QList<PrintLine>& page : document.pages) {
        if (!firstPage)
            device.newPage();
        firstPage = false;
        qreal y = 0;
        for (const PrintLine& line : page) {
            if (y + lineHeight > bottom + 0.5) {  // a page that runs full goes on on the next
                device.newPage();
                y = 0;
            }
            qreal x = 0;
            for (const PrintPiece& piece : line.pieces) {
                x = std::max(x, piece.column * column);
                painter.drawText(QPointF(x, y + metrics.ascent()), piece.text);
                x += metrics.horizontalAdvance(piece.text) + space;
            }
            y += lineHeight;
        }
    }
    painter.end();
}

bool writePdf(const PrintDocument& document, const QString& path, QString* error, const QPageLayout& layout)
{
    // The PDF is drawn into a temporary file and then renamed, as every file
    // the program writes.
    const QString temporary = path + QStringLiteral(".part");
    {
        QPdfWriter pdf(temporary);
        pdf.setPageLayout(layout);
        pdf.setTitle(QStringLiteral("GX510-520 Profile"));
        pdf.setCreator(QStringLiteral("GX510-520 Program / Monitor"));
        paintDocument(pdf, document);
    }
    QFile part(temporary);
    if (!part.exists() || part.size() == 0) {
        if (error)
            *error = QStringLiteral("the PDF file %1 could not be written").arg(path);
        part.remove();
        return false;
    }
    QFile::remove(path);
    if (!part.rename(path)) {
        if (error)
            *error = part.errorString();
        part.remove();
        return false;
    }
    return true;
}

QtPrinter::QtPrinter(QWidget* parent) : m_parent(parent) {}

QtPrinter::~QtPrinter() = default;

bool QtPrinter::available() const
{
    return !QPrinterInfo::availablePrinters().isEmpty();
}

void QtPrinter::setup()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!available()) {
        QMessageBox::information(m_parent, QStringLiteral("Printer setup"),
                                 QStringLiteral("No printer is installed on this computer. A print-out can still "
                                                "be saved as a PDF file from its preview."));
        return;
    }
    QPrintDialog dialog(m_printer.get(), m_parent);
    dialog.setWindowTitle(QStringLiteral("Printer setup"));
    dialog.exec();
}

Printer::Outcome QtPrinter::print(const PrintDocument& document, QString* error)
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // The preview, the paper and the PDF share one page: the printer's size
    // with the print-out's margins.
    m_printer->setPageMargins(printPageLayout(QPageSize::A4).margins(), QPageLayout::Millimeter);
    QDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("PrintPreview"));
    dialog.setWindowTitle(QStringLiteral("Print current profile"));
    QSize size(760, 820);
    if (const QScreen* screen = m_parent ? m_parent->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(20, 60));
    dialog.resize(size);
    auto* layout = new QVBoxLayout(&dialog);
    auto* preview = new QPrintPreviewWidget(m_printer.get(), &dialog);
    QObject::connect(preview, &QPrintPreviewWidget::paintRequested, &dialog,
                     [&document](QPrinter* p) { paintDocument(*p, document); });
    layout->addWidget(preview, 1);
    if (!available())
        layout->addWidget(new QLabel(QStringLiteral("No printer is installed: the print-out can be saved as a PDF file.")));
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* printButton = buttons->addButton(QStringLiteral("Print..."), QDialogButtonBox::ActionRole);
    QPushButton* pdfButton = buttons->addButton(QStringLiteral("Save as PDF..."), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);

    Outcome outcome = Outcome::Closed;
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(printButton, &QPushButton::clicked, &dialog, [&] {
        if (!available()) {
            QMessageBox::information(&dialog, QStringLiteral("Print current profile"),
                                     QStringLiteral("No printer is installed on this computer. Use \"Save as "
                                                    "PDF...\" to keep the print-out as a file."));
            return;
        }
        QPrintDialog choose(m_printer.get(), &dialog);
        if (choose.exec() != QDialog::Accepted)
            return;
        QPainter probe;
        if (!probe.begin(m_printer.get())) {
            outcome = Outcome::Failed;
            if (error)
                *error = QStringLiteral("the printer \"%1\" could not be started").arg(m_printer->printerName());
            dialog.accept();
            return;
        }
        probe.end();
        paintDocument(*m_printer, document);
        outcome = Outcome::Printed;
        dialog.accept();
    });
    QObject::connect(pdfButton, &QPushButton::clicked, &dialog, [&] {
        const QString path = QFileDialog::getSaveFileName(&dialog, QStringLiteral("Save the print-out as PDF"),
                                                          QDir(profilesFolder()).filePath(QStringLiteral("profile.pdf")),
                                                          QStringLiteral("PDF files (*.pdf)"));
        if (path.isEmpty())
            return;
        QString why;
        if (!writePdf(document, path, &why, m_printer->pageLayout())) {
            QMessageBox::warning(&dialog, QStringLiteral("Save as PDF"),
                                 QStringLiteral("The print-out could not be saved: %1.").arg(why));
            return;
        }
        outcome = Outcome::SavedAsPdf;
        dialog.accept();
    });
    dialog.exec();
    return outcome;
}

} // namespace gx
