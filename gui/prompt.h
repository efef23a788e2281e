#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace pw::gui {

// The one place that shows message boxes. Without a display (the offscreen platform) it
// never blocks: the text goes to standard error and to the logger, and the next answer
// set by a test (or the box's default) is returned.
class Prompt
{
public:
    enum class Answer { Ok, Yes, No, Cancel };

    enum class Buttons { YesNo, YesNoCancel, OkCancel };

    static void error(QWidget *parent, const QString &text);
    static void information(QWidget *parent, const QString &text);
    // A question with its fixed buttons. Offscreen, the next answer set by a test is
    // returned, else the first button's.
    static Answer confirm(QWidget *parent, const QString &text, Buttons buttons);

    // For tests and headless runs.
    static void setNextAnswer(Answer answer);
    static const QStringList &shown();
    static void clearShown();
    static void setLogger(std::function<void(const QString &)> log);

private:
    static void show(QWidget *parent, const QString &text, bool isError);
};

} // namespace pw::gui
