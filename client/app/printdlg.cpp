#include "printdlg.h"

#include "client/core/clientmessages.h"

#include "printsetup.h"
#include "reportdocument.h"

#include "client/core/setuptexts.h"
#include "gui/helpwindow.h"
#include "gui/printing.h"
#include "gui/prompt.h"
#include "gui/waitcursor.h"

#include <QApplication>
#include <QComboBox>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

constexpr int kHelpTopic = 1036;
constexpr int kPercents[] = {200, 175, 150, 125, 100, 50};
enum { kFitToWidth = 6, kFitToHeight = 7, kWholePage = 8 };

} // namespace

Tprintdlg::Tprintdlg(std::unique_ptr<ReportDocument> document, const PrintSetup &printSetup, QWidget *parent)
    : QDialog(parent, Qt::Window)
    , m_document(std::move(document))
    , m_printSetup(printSetup)
    , m_previewPrinter(gui::Printing::printer())
{
    setObjectName(u"printdlg"_s);
    setWindowTitle(u"Display/Print"_s);
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);
    m_printSetup.applyTo(*m_previewPrinter);

    auto *layout = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    m_pageinfo = new QLabel(this);
    m_pageinfo->setObjectName(u"pageinfo"_s);
    m_pageinfo->setMinimumWidth(m_pageinfo->fontMetrics().horizontalAdvance(u"9999 of 9999"_s));
    auto *previous = new QToolButton(this);
    previous->setObjectName(u"prevbtn"_s);
    previous->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    previous->setToolTip(u"Previous page"_s);
    auto *next = new QToolButton(this);
    next->setObjectName(u"nextbtn"_s);
    next->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    next->setToolTip(u"Next page"_s);
    auto *send = new QPushButton(u"Send to Printer"_s, this);
    send->setObjectName(u"printbtn"_s);
    m_zoom = new QComboBox(this);
    m_zoom->setObjectName(u"zoomlist"_s);
    m_zoom->addItems({u"200%"_s, u"175%"_s, u"150%"_s, u"125%"_s, u"100%"_s, u"50%"_s, u"Fit To Width"_s,
                      u"Fit To Height"_s, u"Whole Page"_s});
    // Editable only so that it can show the zoom a fit gives; the text is not typed in.
    m_zoom->setEditable(true);
    m_zoom->lineEdit()->setReadOnly(true);
    m_zoom->setInsertPolicy(QComboBox::NoInsert);
    auto *close = new QPushButton(u"Close"_s, this);
    close->setObjectName(u"closebtn"_s);
    auto *help = new QPushButton(u"Help"_s, this);
    help->setObjectName(u"helpbtn"_s);
    for (QPushButton *b : {send, close, help})
        b->setAutoDefault(false);
    bar->addWidget(m_pageinfo);
    bar->addWidget(previous);
    bar->addWidget(next);
    bar->addSpacing(12);
    bar->addWidget(send);
    bar->addWidget(m_zoom);
    bar->addStretch();
    bar->addWidget(close);
    bar->addWidget(help);
    layout->addLayout(bar);

    m_preview = new QPrintPreviewWidget(m_previewPrinter.get(), this);
    m_preview->setObjectName(u"preview"_s);
    m_preview->setViewMode(QPrintPreviewWidget::SinglePageView);
    layout->addWidget(m_preview, 1);
    resize(760, 640);

    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, &Tprintdlg::print);
    connect(m_preview, &QPrintPreviewWidget::previewChanged, this, [this] {
        m_pageinfo->setText(pageLabel());
        updateZoomText();
    });
    connect(previous, &QToolButton::clicked, this, &Tprintdlg::previousPage);
    connect(next, &QToolButton::clicked, this, &Tprintdlg::nextPage);
    connect(m_zoom, &QComboBox::activated, this, &Tprintdlg::zoomTo);
    connect(send, &QPushButton::clicked, this, &Tprintdlg::sendToPrinter);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(help, &QPushButton::clicked, this, [this] {
        auto *window = new gui::HelpWindow(this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->showTopic(kHelpTopic);
    });
}

Tprintdlg::~Tprintdlg()
{
    // The preview and a print dialog still open paint on the printers: they go first.
    delete m_printDialog;
    delete m_preview;
}

void Tprintdlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    m_preview->updatePreview();
    m_preview->setZoomMode(QPrintPreviewWidget::CustomZoom);
    m_preview->setZoomFactor(1.0);
    showPage(1);
    // The preview keeps its centre when zooming: start at the page's top left instead.
    if (auto *view = m_preview->findChild<QGraphicsView *>()) {
        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->minimum());
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->minimum());
    }
    updateZoomText();
}

int Tprintdlg::currentPage() const
{
    return m_preview->currentPage();
}

int Tprintdlg::pageCount() const
{
    return m_preview->pageCount();
}

QString Tprintdlg::pageLabel() const
{
    return QString::number(currentPage()) + u" of "_s + QString::number(pageCount());
}

QString Tprintdlg::zoomText() const
{
    return m_zoom->currentText();
}

void Tprintdlg::showPage(int page)
{
    m_preview->setCurrentPage(page);
    m_pageinfo->setText(pageLabel());
}

void Tprintdlg::previousPage()
{
    if (currentPage() <= 1) {
        gui::Prompt::error(this, qs(text::kNoMorePages));
        return;
    }
    showPage(currentPage() - 1);
}

void Tprintdlg::nextPage()
{
    if (currentPage() >= pageCount()) {
        gui::Prompt::error(this, qs(text::kNoMorePages));
        return;
    }
    showPage(currentPage() + 1);
}

void Tprintdlg::zoomTo(int entry)
{
    if (entry >= 0 && entry < int(std::size(kPercents))) {
        m_preview->setZoomMode(QPrintPreviewWidget::CustomZoom);
        m_preview->setZoomFactor(kPercents[entry] / 100.0);
    } else if (entry == kFitToWidth) {
        m_preview->setZoomMode(QPrintPreviewWidget::FitToWidth);
    } else if (entry == kWholePage) {
        m_preview->setZoomMode(QPrintPreviewWidget::FitInView);
    } else if (entry == kFitToHeight) {
        // The preview fits width or the whole page; the height is fitted here, with the
        // page's shadow and a little room as the preview leaves around a page.
        const auto *view = m_preview->findChild<QGraphicsView *>();
        const qreal paperHeight = m_previewPrinter->paperRect(QPrinter::Inch).height() * logicalDpiY();
        if (view && paperHeight > 0) {
            const qreal scale = (view->viewport()->height() - 10) / (paperHeight * 1.03);
            m_preview->setZoomMode(QPrintPreviewWidget::CustomZoom);
            m_preview->setZoomFactor(std::max(scale, 0.05));
        }
    }
    updateZoomText();
}

void Tprintdlg::updateZoomText()
{
    m_zoom->setEditText(QString::number(qRound(m_preview->zoomFactor() * 100)) + u'%');
}

void Tprintdlg::print(QPrinter *printer)
{
    m_document->print(printer);
}

void Tprintdlg::sendToPrinter()
{
    if (pageCount() < 1) {
        gui::Prompt::error(this, qs(text::kNothingToPrint));
        return;
    }
    delete m_printDialog;
    m_outputPrinter = gui::Printing::printer();
    m_printSetup.applyTo(*m_outputPrinter);
    auto *dialog = new QPrintDialog(m_outputPrinter.get(), this);
    m_printDialog = dialog;
    dialog->setObjectName(u"printdialog"_s);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this](int result) {
        if (result != QDialog::Accepted) {
            gui::Prompt::information(this, qs(text::kPrintingCanceled));
            return;
        }
        int printed = 0;
        {
            gui::WaitCursor wait;
            printed = m_document->print(m_outputPrinter.get());
        }
        if (printed == 0)
            gui::Prompt::error(this, qs(text::kReportBuildError));
    });
    dialog->open();
}

} // namespace pw::client
