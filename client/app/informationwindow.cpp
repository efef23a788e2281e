#include "informationwindow.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

QString SlotTextMaker(const QString &text, const QFontMetrics &metrics, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    // Halving the search keeps long addresses cheap; the result is the longest prefix
    // that fits, as dropping one character at a time would find.
    qsizetype low = 0;
    qsizetype high = text.size();
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (metrics.horizontalAdvance(text.left(mid)) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    return text.left(low) + u"..."_s;
}

InformationWindow::InformationWindow(const WebBoxEntry &entry, const QFont &listFont, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"informationwindow"_s);
    setWindowTitle(u"Information"_s);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);
    const QFontMetrics metrics(listFont);
    auto *form = new QFormLayout;
    const auto row = [&](const QString &label, const QString &name, const QString &text, bool fitted, bool hint) {
        auto *value = new QLabel(fitted ? SlotTextMaker(text, metrics) : text, this);
        value->setObjectName(name);
        value->setFont(listFont);
        if (hint)
            value->setToolTip(text);
        form->addRow(label, value);
    };
    row(u"URL Name:"_s, u"urlname"_s, entry.description, true, true);
    row(u"URL Location:"_s, u"urllocation"_s, entry.url, true, true);
    row(u"Date of Retrieval:"_s, u"retrieved"_s, entry.dateTime, false, true);
    row(u"Last Modified:"_s, u"lastmodified"_s, entry.lastModified, false, false);
    row(u"Size:"_s, u"size"_s, entry.size, false, false);
    row(u"Local Filename:"_s, u"localfile"_s, entry.fileLocation, true, true);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(u"Close"_s, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

} // namespace pw::client
