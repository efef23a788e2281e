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

Prompt::Answer Prompt::confirm(QWidget *parent, const QString &text, Buttons buttons)
{
    shownTexts.append(text);
    const Answer first = buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    const Answer preset = nextAnswer.value_or(first);
    nextAnswer.reset();
    if (headless()) {
        QTextStream(stderr) << QGuiApplication::applicationDisplayName() << ": " << text << Qt::endl;
        return preset;
    }
    QMessageBox::StandardButtons set;
    switch (buttons) {
    case Buttons::YesNo:
        set = QMessageBox::Yes | QMessageBox::No;
        break;
    case Buttons::YesNoCancel:
        set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    case Buttons::OkCancel:
        set = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    }
    switch (QMessageBox::question(parent, QGuiApplication::applicationDisplayName(), text, set)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        return Answer::Cancel;
    }
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
