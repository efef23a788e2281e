#pragma once

#include "store/linkframing.h"

#include <QObject>
#include <QStringList>

namespace pw::client {

// `IPPort1DataIn`: sorts the server's lines into state changes and the three update
// blocks. The first matching rule decides, in a fixed order, so a state line that
// arrives inside a block is still a state line. Knows nothing of windows: it reports
// what arrived and the main window applies it.
class LinkDispatcher final : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    void IPPort1DataIn(const QString &line);
    // Leaves every block and forgets its lines (start-up, link loss).
    void reset();

    bool transferActive() const { return m_transferActive; }
    bool aborting() const { return m_aborting; }
    // Link loss: both flags cleared, no signal.
    void setIdle();

Q_SIGNALS:
    void transferActiveChanged(bool active);
    void abortingChanged(bool aborting);
    void transferInfo(const QString &text);
    void scheduleUpdated();
    void dialUpState(const QString &keyword, bool on);
    // A complete block with enough lines; shorter blocks are dropped.
    void inboxUpdate(const pw::link::InboxUpdate &update);
    void reportUpdate(const pw::link::ReportUpdate &update);
    void editUpdate(const pw::link::EditUpdate &update);

private:
    struct Block
    {
        bool open = false;
        QStringList lines;
    };

    void processlist();
    void processreport();
    void processeditlist();

    bool m_transferActive = false;
    bool m_aborting = false;
    Block m_inbox;
    Block m_report;
    Block m_edit;
};

} // namespace pw::client
