#pragma once

// The printer seam: print-outs previewed, then printed or saved as PDF, and how a page is laid out.

#include "printdocument.h"

#include <QPageLayout>
#include <QString>

#include <memory>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace gx {

// The printer and its dialogs. A print-out is first shown in a preview, from
// which it goes to the printer or into a PDF file.
class Printer {
public:
    enum class Outcome { Printed, SavedAsPdf, Closed, Failed };
    virtual ~Printer() = default;

    // True when the system has a printer to print on.
    virtual bool available() const = 0;
    // The system's printer dialog, where the printer is chosen.
    virtual void setup() = 0;
    // Shows the preview and prints or saves as the user chooses. On Failed,
    // *error says why.
    virtual Outcome print(const PrintDocument& document, QString* error) = 0;
};

// The page of a print-out: portrait, 15 mm margins at the sides and 12 mm at
// the top and bottom.
QPageLayout printPageLayout(QPageSize::PageSizeId size);

// Lays the document out on the device: its font, one line after the other,
// each piece at its column (a column is the width of a "0"), a new device
// page for every page of the document. Lines are spaced so that the longest
// page fits (down to 85% of the font's own spacing, which holds 70 lines on
// A4 and on Letter); only a page longer than that, long notes, runs on to a
// further page.
void paintDocument(QPagedPaintDevice& device, const PrintDocument& document);

// Writes the document as a PDF file (Qt's own PDF output) on pages of `layout`.
bool writePdf(const PrintDocument& document, const QString& path, QString* error,
              const QPageLayout& layout = printPageLayout(QPageSize::A4));

// The printer of the desktop, with a preview window that prints or saves a
// PDF file.
class QtPrinter final : public Printer {
public:
    explicit QtPrinter(QWidget* parent = nullptr);
    ~QtPrinter() override;
    void setParent(QWidget* parent) { m_parent = parent; }
    bool available() const override;
    void setup() override;
    Outcome print(const PrintDocument& document, QString* error) override;

private:
    QWidget* m_parent;
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace gx
