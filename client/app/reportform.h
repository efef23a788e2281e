#pragma once

#include "client/core/reportrows.h"
#include "client/core/updatetargets.h"

#include <QDialog>

class QTableView;

namespace pw::client {

class ClientSettings;
class PrintSetup;
class ReportsModel;
class Tprintdlg;

// `Treportform`, "Pagewarden Reports": the reports listed in "reports.dir", opened for
// display and printing, and deleted with their files. Created once and hidden when
// closed; while it shows, the server's new reports are added to it.
class Treportform final : public QDialog, public ReportUpdateTarget
{
    Q_OBJECT

public:
    Treportform(ClientSettings &settings, const PrintSetup &printSetup, QWidget *parent = nullptr);
    ~Treportform() override;

    // Loads the index and shows the window with its last row in view.
    void showReports();

    // `loadreports` and `savereports` on "reports.dir".
    void loadreports();
    bool savereports();
    // `printreport`: the report file in a new print window; nothing when it cannot be read.
    Tprintdlg *printreport(const QString &file, const QString &listName);
    // `deletereport`
    void deletereport();
    // "Open Report", and the double click on a row.
    void openReport();
    void openRow(int row);

    QTableView *view() const { return m_reportview; }
    const ReportRows &rows() const { return m_rows; }

    bool isShowing() const override;
    bool processreport(const link::ReportUpdate &update) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<int> selectedRows() const;
    bool deleteReportFile(const QString &path) const;

    ClientSettings &m_settings;
    const PrintSetup &m_printSetup;
    ReportRows m_rows;
    ReportsModel *m_model = nullptr;
    QTableView *m_reportview = nullptr;
};

} // namespace pw::client
