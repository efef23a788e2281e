#pragma once

#include <QDialog>
#include <QPointer>

#include <memory>

class QComboBox;
class QLabel;
class QPrintDialog;
class QPrintPreviewWidget;
class QPrinter;
class QToolButton;

namespace pw::client {

class PrintSetup;
class ReportDocument;

// `Tprintdlg`, "Display/Print": one report as a page preview with page turning, zoom and
// "Send to Printer". Made for one document and freed when it closes.
class Tprintdlg final : public QDialog
{
    Q_OBJECT

public:
    Tprintdlg(std::unique_ptr<ReportDocument> document, const PrintSetup &printSetup, QWidget *parent = nullptr);
    ~Tprintdlg() override;

    int currentPage() const;
    int pageCount() const;
    QString pageLabel() const;
    QString zoomText() const;

    void previousPage();
    void nextPage();
    // One of the zoom list's entries, by position.
    void zoomTo(int entry);
    // Asks for the printer and prints; "Printing has been canceled." when the user backs out.
    void sendToPrinter();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showPage(int page);
    void updateZoomText();
    void print(QPrinter *printer);

    std::unique_ptr<ReportDocument> m_document;
    const PrintSetup &m_printSetup;
    std::unique_ptr<QPrinter> m_previewPrinter;
    std::unique_ptr<QPrinter> m_outputPrinter;
    QPrintPreviewWidget *m_preview = nullptr;
    QPointer<QPrintDialog> m_printDialog;
    QLabel *m_pageinfo = nullptr;
    QComboBox *m_zoom = nullptr;
    bool m_shown = false;
};

} // namespace pw::client
