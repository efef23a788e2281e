#pragma once

#include <QString>

#include <memory>

class QPrinter;

namespace pw::gui {

// Where printouts go: the desktop's default printer, or, for tests, a PDF file.
class Printing
{
public:
    static std::unique_ptr<QPrinter> printer();
    static void setPdfOutput(const QString &path);
};

} // namespace pw::gui
