#include "prompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QTextStream>

#include <optional>

namespace pw::gui {

namespace {

QStringList shownTexts;
std::optional<Prompt::Answer> nextAnswer;
std::function<void(const QString &)> logger;

bool headless()
{
    return QGuiApplication::platformName() == QLatin1String("offscreen")
           || QGuiApplication::platformName() == QLatin1String("minimal");
}

} // namespace

void Prompt::setNextAnswer(Answer answer)
{
    nextAnswer = answer;
}

const QStringList &Prompt::shown()
{
    return shownTexts;
}

void Prompt::clearShown()
{
    shownTexts.clear();
}

void Prompt::setLogger(std::function<void(const QString &)> log)
{
    logger = std::move(log);
}

void Prompt::error(QWidget *parent, const QString &text)
{
    show(parent, text, true);
}

void Prompt::information(QWidget *parent, const QString &text)
{
    show(parent, text, false);
}

void Prompt::show(QWidget *parent, const QString &text, bool isError)
{
    shownTexts.append(text);
    nextAnswer.reset();
    if (headless()) {
        QTextStream(stderr) << QGuiApplication::applicationDisplayName() << ": " << text << Qt::endl;
        if (logger)
            logger(text);
        return;
    }
    const QString title = QGuiApplication::applicationDisplayName();
    if (isError)
        QMessageBox::critical(parent, title, text, QMessageBox::Ok);
    else
        QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

} // namespace pw::gui
