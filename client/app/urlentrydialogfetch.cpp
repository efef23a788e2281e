// The URL entry dialog's fetches: Validate, Frames and Abort.
#include "framechooser.h"
#include "urlentrydialog.h"

#include "client/core/pagefetch.h"
#include "client/core/pageparsing.h"
#include "gui/prompt.h"
#include "gui/waitcursor.h"

#include <QLineEdit>
#include <QStatusBar>

using namespace Qt::StringLiterals;

namespace pw::client {

bool Tdialogurladd::fetchPage(QString &url, QString &error, QStringList &lines)
{
    m_fetch->setSettings(m_settings);
    // Progress goes to this dialog's status bar for the length of this fetch.
    const QMetaObject::Connection progress = connect(m_fetch, &PageFetch::bytesReceived, this, [this](qint64 bytes) {
        m_status->showMessage(bytesReceivedText(bytes));
    });
    const bool ok = m_fetch->starttransfer(m_username->text(), m_password->text(), url, error, lines);
    disconnect(progress);
    return ok;
}

void Tdialogurladd::validatebtnClick()
{
    if (m_url->text().isEmpty() || m_url->text() == u"http://"_s) {
        gui::Prompt::error(this, u"You must first enter a URL to validate."_s);
        return;
    }
    QString error;
    QStringList lines;
    bool ok = false;
    {
        gui::WaitCursor wait;
        setFetching(true);
        m_url->setText(withScheme(m_url->text()));
        QString url = m_url->text();
        ok = fetchPage(url, error, lines);
        setFetching(false);
    }
    if (ok)
        gui::Prompt::information(this, u"URL has been validated. You may now save."_s);
    else
        gui::Prompt::error(this, u"URL could not be validated. Please re-enter and try again: "_s + error);
    m_status->clearMessage();
}

void Tdialogurladd::framebtnClick()
{
    if (m_url->text().isEmpty() || m_url->text() == u"http://"_s) {
        gui::Prompt::error(this, u"You must enter a URL before continuing."_s);
        return;
    }
    m_url->setText(withScheme(m_url->text()));
    gui::Prompt::information(this, u"Now retrieving referenced URL(s) for \""_s + m_url->text() + u"\""_s);

    QStringList frames;
    bool ok = false;
    {
        gui::WaitCursor wait;
        setFetching(true);
        QString url = m_url->text();
        QString error;
        QStringList lines;
        ok = fetchPage(url, error, lines);
        if (!ok)
            gui::Prompt::information(this, u"Transfer was not completed. "_s + error);
        else
            PageParsing(lines, frames, true, url); // relative frames resolve against where the fetch ended
        m_status->clearMessage();
        if (!frames.isEmpty()) {
            auto *chooser = new Tselurlform(frames, this);
            connect(chooser, &Tselurlform::chosen, this, [this](const QString &chosen) {
                m_url->setText(chosen);
                Q_EMIT frameChosen(chosen);
            });
            chooser->show();
        } else if (ok) {
            gui::Prompt::information(this, u"No frames were found within the specified URL."_s);
        }
        setFetching(false);
    }
}

void Tdialogurladd::abortbtnClick()
{
    m_fetch->abort();
    setFetching(false);
}

} // namespace pw::client
