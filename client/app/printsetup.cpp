#include "printsetup.h"

#include <QPageSize>
#include <QPrinter>

namespace pw::client {

namespace {

// The report margins in inches: a quarter inch at the sides, a fifteenth at top and bottom.
constexpr double kSideMargin = 0.25;
constexpr double kTopMargin = 0.0666666666666667;

} // namespace

PrintSetup::PrintSetup()
{
    const QPrinter printer;
    m_layout = QPageLayout(printer.pageLayout().pageSize(), QPageLayout::Portrait,
                           QMarginsF(kSideMargin, kTopMargin, kSideMargin, kTopMargin), QPageLayout::Inch);
}

void PrintSetup::applyTo(QPrinter &printer) const
{
    if (printer.setPageLayout(m_layout))
        return;
    printer.setPageSize(m_layout.pageSize());
    printer.setPageOrientation(m_layout.orientation());
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Inch);
    const QMarginsF minimum = layout.minimumMargins();
    const QMarginsF wanted = m_layout.margins(QPageLayout::Inch);
    printer.setPageMargins(QMarginsF(std::max(wanted.left(), minimum.left()), std::max(wanted.top(), minimum.top()),
                                     std::max(wanted.right(), minimum.right()),
                                     std::max(wanted.bottom(), minimum.bottom())),
                           QPageLayout::Inch);
}

} // namespace pw::client
