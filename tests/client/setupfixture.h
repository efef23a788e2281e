#pragma once

#include "clienthome.h"
#include "support/fakelinkserver.h"

#include "client/app/mainwindow.h"
#include "client/app/setupform.h"
#include "store/paths.h"
#include "store/settings.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace setuptest {

using namespace Qt::StringLiterals;
using pw::client::MainWindow;
using pw::client::Tsetupform;

class ListedPhoneBook final : public pw::PhoneBook
{
public:
    QStringList book;
    QStringList entries(QString * = nullptr) const override { return book; }
};

inline QString stored(const QString &key)
{
    return pw::paths::openSettings()->value(key).toString();
}

inline void store(const QString &key, const QString &value)
{
    pw::paths::openSettings()->setValue(key, value);
}

// A client started against a test-played server, with two URL Lists, and its Setup dialog
// opened from the toolbar as a user opens it.
struct SetupFixture
{
    explicit SetupFixture(const QStringList &lists = {u"News"_s, u"Weather"_s})
        : names(lists)
    {
        client.addLists(lists);
    }

    // Starts the client and opens the dialog from the toolbar.
    bool open()
    {
        window = std::make_unique<MainWindow>();
        window->clientSettings().setPhoneBook(book);
        if (!window->forminit())
            return false;
        window->show();
        setup = window->setupForm();
        QAction *button = window->findChild<QAction *>(u"setupbtn"_s);
        if (!setup || !button || !button->isEnabled())
            return false;
        button->trigger();
        return setup->isVisible();
    }

    template <typename T> T *find(const QString &name) const
    {
        T *widget = setup->findChild<T *>(name);
        if (!widget)
            qWarning("no %s", qPrintable(name));
        return widget;
    }

    void click(const QString &button) const
    {
        QAbstractButton *b = find<QAbstractButton>(button);
        QVERIFY2(b && b->isEnabled(), qPrintable(button));
        b->click();
    }

    void type(const QString &field, const QString &text) const { find<QLineEdit>(field)->setText(text); }

    void choose(const QString &combo, const QString &text) const
    {
        QComboBox *box = find<QComboBox>(combo);
        box->setCurrentIndex(box->findText(text));
        QCOMPARE(box->currentText(), text);
    }

    QStringList scheduleTexts() const
    {
        QStringList rows;
        const QTreeWidget *view = find<QTreeWidget>(u"schedview"_s);
        for (int i = 0; i < view->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *item = view->topLevelItem(i);
            rows << item->text(0) + u" | "_s + item->text(1) + u" | "_s + item->text(2);
        }
        return rows;
    }

    QStringList reportList() const
    {
        QStringList names;
        const QListWidget *list = find<QListWidget>(u"reportlist"_s);
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        return names;
    }

    bool refreshSetupSent() const { return server.received.contains(QByteArray(pw::link::kRefreshSetup)); }

    pwtest::FakeLinkServer server;
    pwtest::ClientHome client{server.port()};
    QStringList names;
    std::shared_ptr<ListedPhoneBook> book = std::make_shared<ListedPhoneBook>();
    std::unique_ptr<MainWindow> window;
    Tsetupform *setup = nullptr;
};

} // namespace setuptest
