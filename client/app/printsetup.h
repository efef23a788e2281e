#pragma once

#include <QPageLayout>

class QPrinter;

namespace pw::client {

// The page chosen with the Setup dialog's "Print Setup...": paper, orientation and
// margins of every report printed and previewed. It lasts while the client runs.
class PrintSetup
{
public:
    PrintSetup();

    const QPageLayout &layout() const { return m_layout; }
    void setLayout(const QPageLayout &layout) { m_layout = layout; }

    // Puts the page on `printer`; margins the printer cannot print are widened to its own.
    void applyTo(QPrinter &printer) const;

private:
    QPageLayout m_layout;
};

} // namespace pw::client
