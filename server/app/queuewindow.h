#pragma once

#include "server/engine/runengine.h"

#include <QDialog>

class QLabel;
class QTreeWidget;

namespace pw::server {

// Tqueueform: a snapshot of the URLs waiting in the run's queue.
class QueueForm final : public QDialog
{
    Q_OBJECT

public:
    explicit QueueForm(RunEngine &engine, QWidget *parent = nullptr);

    // Fills the list; false (after telling the user) when the queue is empty.
    bool fill();
    int rowCount() const;

Q_SIGNALS:
    void helpRequested(int topic);

private:
    RunEngine &m_engine;
    QLabel *m_timequeue;
    QTreeWidget *m_queuelist;
};

} // namespace pw::server
