#include "colourpicker.h"

#include <QColorDialog>
#include <QGuiApplication>

namespace pw::gui {

namespace {

bool answerSet = false;
std::optional<QColor> nextAnswer;

} // namespace

std::optional<QColor> ColourPicker::pick(QWidget *parent, const QColor &initial)
{
    if (answerSet) {
        answerSet = false;
        return nextAnswer;
    }
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return std::nullopt;
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

void ColourPicker::setNextAnswer(std::optional<QColor> answer)
{
    answerSet = true;
    nextAnswer = std::move(answer);
}

} // namespace pw::gui
