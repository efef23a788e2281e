// The Link Wizard on the URL List editor against a scripted web server on loopback.
#include "support/fakelinkserver.h"
#include "support/httpserver.h"

#include "clienthome.h"

#include "client/app/mainwindow.h"
#include "client/app/pageimportform.h"
#include "client/app/urllisteditor.h"
#include "client/core/newentry.h"
#include "gui/prompt.h"

#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

using namespace Qt::StringLiterals;
using pw::client::Tpageimportform;
using pw::gui::Prompt;

namespace {

pwtest::ScriptedHttpServer::Response page(const QByteArray &body)
{
    pwtest::ScriptedHttpServer::Response r;
    r.headers = {{"Content-Type", "text/html"}};
    r.body = body;
    return r;
}

struct Fixture
{
    Fixture()
        : client(server.port())
    {
        web.setResponse("/start.html", page("<html><body><a href=\"/a.html\">A</a> <a href=\"b.html\">B</a>\n"
                                            "<a href=\"/a.html\">A again</a></body></html>\n"));
        web.setResponse("/a.html", page("<html><body><a href=\"/deep.html\">Deep</a></body></html>\n"));
        window = std::make_unique<pw::client::MainWindow>();
        if (!window->forminit())
            qFatal("the client did not start");
        editor = window->openListEditor({});
        editor->openLinkWizard();
        wizard = editor->findChild<Tpageimportform *>();
        list = wizard->findChild<QListWidget *>(u"displayurls"_s);
        url = wizard->findChild<QLineEdit *>(u"urltoget"_s);
    }
    ~Fixture()
    {
        if (pw::client::Turladdform *e = window->listEditor()) {
            e->Modified = false;
            e->close();
        }
    }
    QStringList links() const
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out.append(list->item(i)->text());
        return out;
    }

    pwtest::FakeLinkServer server;
    pwtest::ClientHome client;
    pwtest::ScriptedHttpServer web;
    std::unique_ptr<pw::client::MainWindow> window;
    pw::client::Turladdform *editor = nullptr;
    QPointer<Tpageimportform> wizard;
    QListWidget *list = nullptr;
    QLineEdit *url = nullptr;
};

} // namespace

class TestLinkWizard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void getDrillDownAndFirst()
    {
        Fixture f;
        QVERIFY(f.wizard && f.wizard->isVisible());
        QCOMPARE(f.wizard->windowTitle(), u"Link Wizard"_s);
        QCOMPARE(f.wizard->findChild<QLineEdit *>(u"password"_s)->echoMode(), QLineEdit::Password);

        f.wizard->getbtnClick();
        QCOMPARE(Prompt::shown(), QStringList{u"You must first enter a URL in the URL field."_s});
        f.wizard->firstbtnClick();
        QCOMPARE(Prompt::shown().last(),
                 u"No previous URL is stored in memory. Please enter a URL and click the GET button."_s);
        Prompt::clearShown();

        // Typed without "http://": fetched with it, the field keeps what was typed.
        const QString typed = f.web.url(u"/start.html"_s).mid(7);
        f.url->setText(typed);
        f.wizard->getbtnClick();
        QCOMPARE(f.links(), (QStringList{f.web.url(u"/a.html"_s), f.web.url(u"/b.html"_s)}));
        QCOMPARE(f.url->text(), typed);
        QCOMPARE(f.wizard->firstUrl(), typed);

        f.wizard->drilldownClick();
        QCOMPARE(Prompt::shown(), QStringList{u"You must first select a URL to drill down."_s});
        f.list->setCurrentRow(0);
        f.wizard->drilldownClick();
        QCOMPARE(f.url->text(), f.web.url(u"/a.html"_s));
        QCOMPARE(f.links(), QStringList{f.web.url(u"/deep.html"_s)});
        QCOMPARE(f.wizard->firstUrl(), typed);

        f.wizard->firstbtnClick();
        QCOMPARE(f.url->text(), typed);
        QCOMPARE(f.web.requestCount("/start.html"), 2);
        QCOMPARE(f.links().size(), 2);
    }

    void failedFetchIsRememberedToo()
    {
        Fixture f;
        f.url->setText(f.web.url(u"/missing.html"_s));
        f.wizard->getbtnClick();
        QCOMPARE(Prompt::shown().size(), 1);
        QVERIFY(Prompt::shown().first().startsWith(u"Transfer was not completed. \"404"_s));
        QCOMPARE(f.list->count(), 0);
        QCOMPARE(f.wizard->firstUrl(), f.web.url(u"/missing.html"_s));
        f.wizard->selectallClick();
        QCOMPARE(Prompt::shown().last(), u"There are no items to select."_s);
        f.wizard->okbtnClick();
        QCOMPARE(Prompt::shown().last(), u"No URLs have been selected to save."_s);
    }

    void okWithNoneTickedClosesAndMarksChanged()
    {
        Fixture f;
        f.url->setText(f.web.url(u"/start.html"_s));
        f.wizard->getbtnClick();
        QCOMPARE(f.list->count(), 2);
        QVERIFY(!f.editor->Modified);
        f.wizard->okbtnClick();
        QTRY_VERIFY(!f.wizard);
        QVERIFY(f.editor->Modified);
        QVERIFY(f.editor->entries().isEmpty());
    }

    void okAppendsAndAsksForDuplicates()
    {
        Fixture f;
        f.editor->appendEntry(pw::client::newEntry({}, f.web.url(u"/B.HTML"_s).toUpper(), u"Known"_s));
        f.editor->Modified = false;
        f.url->setText(f.web.url(u"/start.html"_s));
        f.wizard->getbtnClick();
        f.wizard->selectallClick();
        Prompt::setNextAnswer(Prompt::Answer::No);
        f.wizard->okbtnClick();
        QCOMPARE(Prompt::shown(), QStringList{u"URL \""_s + f.web.url(u"/b.html"_s)
                                              + u"\" which you are attempting to add already exists in the current "
                                                "URL List. Ignore and continue?"_s});
        QVERIFY(f.wizard);
        QCOMPARE(f.editor->entries().size(), 2);
        const pw::UrlEntry added = f.editor->entries().at(1);
        QCOMPARE(added[pw::UrlEntry::Description], u"No Description"_s);
        QCOMPARE(added[pw::UrlEntry::Url], f.web.url(u"/a.html"_s));
        QCOMPARE(added[pw::UrlEntry::HighlightColor], u"clYellow"_s);
    }

    void fetchAddress_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("fetched");
        QTest::newRow("no scheme") << u"example.org/x"_s << u"http://example.org/x"_s;
        QTest::newRow("http") << u"HTTP://example.org/"_s << u"HTTP://example.org/"_s;
        // Not "http://https://...": a secure address stays secure.
        QTest::newRow("https") << u"https://example.org/"_s << u"https://example.org/"_s;
    }
    void fetchAddress()
    {
        QFETCH(QString, typed);
        QFETCH(QString, fetched);
        QCOMPARE(pw::client::linkWizardAddress(typed), fetched);
    }
};

QTEST_MAIN(TestLinkWizard)
#include "tst_linkwizard.moc"
