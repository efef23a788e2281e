#pragma once

#include <QColor>

#include <optional>

class QWidget;

namespace pw::gui {

// The colour picker behind one seam: the desktop's colour dialog, or, for tests and
// headless runs, the answer set beforehand (none means the picker was cancelled).
class ColourPicker
{
public:
    static std::optional<QColor> pick(QWidget *parent, const QColor &initial);
    static void setNextAnswer(std::optional<QColor> answer);
};

} // namespace pw::gui
