#pragma once

#include "printdocument.h"

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

// Lays the document out on the device: its font, one line after the other,
// each piece at its column (a column is the width of a "0"), a new device
// page for every page of the document and wherever a page runs full.
void paintDocument(QPagedPaintDevice& device, const PrintDocument& document);

// Writes the document as a PDF file (Qt's own PDF output).
bool writePdf(const PrintDocument& document, const QString& path, QString* error);

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
