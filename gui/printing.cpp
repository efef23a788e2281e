#include "printing.h"

#include <QPrinter>

namespace pw::gui {

namespace {

QString pdfOutput;

} // namespace

std::unique_ptr<QPrinter> Printing::printer()
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!pdfOutput.isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdfOutput);
    }
    return printer;
}

void Printing::setPdfOutput(const QString &path)
{
    pdfOutput = path;
}

} // namespace pw::gui
