#pragma once

#include "store/webbox.h"

#include <QDialog>

class QFontMetrics;

namespace pw::client {

// `SlotTextMaker`: the text cut to fit `width` pixels in the given font, with "..." when
// anything was cut.
QString SlotTextMaker(const QString &text, const QFontMetrics &metrics, int width = 267);

// The "Information" window: one WebBox entry's details. Long texts are fitted and given
// whole as their hint.
class InformationWindow final : public QDialog
{
    Q_OBJECT

public:
    InformationWindow(const WebBoxEntry &entry, const QFont &listFont, QWidget *parent = nullptr);
};

} // namespace pw::client
