#pragma once

#include <QDialog>

class QTextBrowser;

namespace pw::gui {

// Shows help topics: the page help/<topic>.html of the installation, or the contents
// page help/1000.html when a topic has none.
class HelpWindow final : public QDialog
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent = nullptr);
    void showTopic(int topic);
    // The file shown for a topic.
    static QString topicFile(int topic);

private:
    QTextBrowser *m_browser;
};

} // namespace pw::gui
