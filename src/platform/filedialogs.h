#pragma once

// The file-dialog seam: open, save and folder choosers, and the Qt dialogs behind them.

#include <QString>

class QWidget;

namespace gx {

// The file open and save dialogs. The filter is written as the program has it:
// a description, a vertical bar, the patterns separated by ";"
// ("GX510-520 profile (*.510;*.520)|*.510;*.520").
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen path, or "" when the user cancelled. The save dialog asks
    // before an existing file is replaced and adds no extension of its own.
    virtual QString getSaveFileName(const QString& title, const QString& folder, const QString& filter) = 0;
    virtual QString getOpenFileName(const QString& title, const QString& folder, const QString& filter) = 0;
    // A folder, or "" when the user cancelled.
    virtual QString getExistingDirectory(const QString& title, const QString& folder) = 0;
};

class QtFileDialogs final : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    QString getSaveFileName(const QString& title, const QString& folder, const QString& filter) override;
    QString getOpenFileName(const QString& title, const QString& folder, const QString& filter) override;
    QString getExistingDirectory(const QString& title, const QString& folder) override;

    // "Desc (*.a;*.b)|*.a;*.b" as a Qt name filter: "Desc (*.a *.b)".
    static QString qtFilter(const QString& filter);

private:
    QWidget* m_parent;
};

} // namespace gx
