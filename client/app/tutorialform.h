#pragma once

#include <QMainWindow>

class QUrl;

namespace pw::client {

class TutorialBrowser;

// The tutorial window: seven pages from the installation's "tutorial" folder, a button
// per page. Created once with the main window and hidden when closed; it starts at page
// 1 each time it is shown.
class Ttutorialform final : public QMainWindow
{
    Q_OBJECT

public:
    explicit Ttutorialform(QWidget *parent = nullptr);

    void showTutorial();
    // False (after the message) when the page's file is missing; the page shown stays.
    bool loadPage(int number);
    void linkClicked(const QUrl &link);
    int currentPage() const { return m_page; }
    TutorialBrowser *browser() const { return m_view; }

    static QString folder();

private:
    TutorialBrowser *m_view = nullptr;
    int m_page = 0;
};

} // namespace pw::client
