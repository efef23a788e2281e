#pragma once

#include <QDialog>
#include <QPointer>

class QPushButton;
class QTreeWidget;

namespace pw::client {

class MainWindow;
class Turladdform;
class Turlwizard;

// `Twizform`, the "URL List Quick Start": one new URL List per ticked library category,
// filled with all of the category's addresses, in a "QuickStart" folder of the tree. It
// drives a hidden, quiet URL List editor and a hidden, quiet URL Library.
class Twizform final : public QDialog
{
    Q_OBJECT

public:
    Twizform(MainWindow &main, QWidget *parent);
    ~Twizform() override;

    void selectAll();
    void okbtnClick();
    // The names of the lists made by the last OK.
    const QStringList &created() const { return m_created; }

protected:
    void done(int result) override;

private:
    MainWindow &m_main;
    QPointer<Turladdform> m_editor;
    QPointer<Turlwizard> m_library;
    QStringList m_created;
    QTreeWidget *m_weblist = nullptr;
    QPushButton *m_selectAll = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace pw::client
