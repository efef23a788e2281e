#pragma once

#include "client/core/actionlogrows.h"

#include <QDialog>

class QTableView;

namespace pw::client {

class ActionLogModel;
class Tdeletespecform;

// `Tactionlogform`, "Pagewarden Error Log": the entries of "error.log", deleted one by one
// or by age. Created once and hidden when closed.
class Tactionlogform final : public QDialog
{
    Q_OBJECT

public:
    explicit Tactionlogform(QWidget *parent = nullptr);
    ~Tactionlogform() override;

    // `loadactionlog` and `saveactionlog` on "error.log".
    ActionLogRows::Load loadactionlog(QString *error = nullptr);
    bool saveactionlog();

    int entryCount() const;
    // Shows the window with its last entry in view.
    void showLog();

    // "Delete Selected".
    void deleteSelected();
    // "Delete Entries...": asks for the range, then applyRange().
    void deleteEntries();
    // "All", "Today", "7", "30", or "0" for nothing.
    void applyRange(const QString &range);

    QTableView *view() const { return m_logview; }
    const ActionLogRows &rows() const { return m_rows; }

private:
    ActionLogRows m_rows;
    ActionLogModel *m_model = nullptr;
    QTableView *m_logview = nullptr;
    Tdeletespecform *m_spec = nullptr;
};

} // namespace pw::client
