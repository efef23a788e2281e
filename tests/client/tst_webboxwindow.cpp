// WebBox windows and the graphic-free browser offscreen, over real WebBox files and
// stored pages, with a (test-played) server on the link.
#include "support/fakelinkserver.h"
#include "support/testhome.h"

#include "clienthome.h"

#include "client/app/htmlview.h"
#include "client/app/informationwindow.h"
#include "client/app/mainwindow.h"
#include "client/app/viewer.h"
#include "client/app/webboxwindow.h"
#include "client/app/webboxwindows.h"
#include "gui/printing.h"
#include "gui/prompt.h"
#include "gui/urlopener.h"
#include "store/paths.h"
#include "store/webbox.h"

#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTreeWidget>
#include <QtTest>

using namespace Qt::StringLiterals;
using pw::gui::Prompt;

namespace {

// A WebBox "News" whose rows have stored pages on disk.
struct Fixture
{
    Fixture()
        : client(server.port())
    {
        client.addLists({u"News"_s});
        client.writeIndex("Pagewarden\r\n\tNews\r\n");
    }

    pw::WebBoxEntry row(const QString &description, const QString &url, const QString &dateTime,
                        const QByteArray &page = "<p>page</p>")
    {
        const QString file = u"home/webdata/News/p%1.htm"_s.arg(++pages);
        return {description, url,  u"*"_s, QString::number(page.size()), client.home.writeFile(file, page),
                dateTime,    false};
    }
    void writeBox(const QList<pw::WebBoxEntry> &rows) const
    {
        QByteArray out = pw::webBoxHeader(u"News"_s);
        for (const pw::WebBoxEntry &e : rows)
            out += pw::formatWebBoxRecord(e);
        QVERIFY(pw::writeLocked(pw::paths::webBoxFile(pw::paths::dataDir(), u"News"_s), out));
    }
    QList<pw::WebBoxEntry> onDisk() const
    {
        return pw::readWebBox(pw::paths::webBoxFile(pw::paths::dataDir(), u"News"_s), pw::ReaderSide::Client).entries;
    }
    pw::client::Tinboxform *open()
    {
        if (!window) {
            window = std::make_unique<pw::client::MainWindow>();
            if (!window->forminit())
                qFatal("the client did not start");
            window->show();
        }
        const int slot = window->showwebbox(u"News"_s);
        return window->webBoxes().window(slot);
    }
    static QStringList column(pw::client::Tinboxform *box, int column)
    {
        QStringList texts;
        for (int i = 0; i < box->inbox()->topLevelItemCount(); ++i)
            texts.append(box->inbox()->topLevelItem(i)->text(column));
        return texts;
    }
    static void select(pw::client::Tinboxform *box, const QList<int> &rows)
    {
        box->inbox()->clearSelection();
        for (int r : rows)
            box->inbox()->topLevelItem(r)->setSelected(true);
    }

    int pages = 0;
    pwtest::FakeLinkServer server;
    pwtest::ClientHome client;
    std::unique_ptr<pw::client::MainWindow> window;
};

} // namespace

class TestWebBoxWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oneWindowPerList()
    {
        Fixture f;
        f.writeBox({f.row(u"A"_s, u"http://a.example/"_s, u"3/7/1999 9:05:12 PM"_s)});
        pw::client::Tinboxform *box = f.open();
        QVERIFY(box);
        auto *frame = qobject_cast<QMdiSubWindow *>(box->parentWidget());
        QCOMPARE(frame->windowTitle(), u"WebBox [News]"_s);
        frame->showMaximized();
        QCOMPARE(f.open(), box);
        QVERIFY(!frame->isMaximized() && !frame->isMinimized());
        frame->showMinimized();
        QCOMPARE(f.open(), box);
        QVERIFY(!frame->isMinimized());
        QCOMPARE(f.window->mdiArea()->subWindowList().size(), 1);
        QVERIFY(f.window->webboxopen(u"News"_s));
        QVERIFY(!f.window->webboxopen(u"news"_s));

        // Closed and opened again: a window again, in a free slot.
        frame->close();
        QTRY_VERIFY(!f.window->webboxopen(u"News"_s));
        QVERIFY(f.open());
        QVERIFY(f.window->findChild<QMenu *>(u"activewebboxmenu"_s)->isEnabled());

        // A list without its folder cannot be opened.
        Prompt::clearShown();
        QCOMPARE(f.window->showwebbox(u"Gone"_s), 0);
        QCOMPARE(Prompt::shown(), QStringList{u"The selected WebBox cannot be found. You will need to delete this "
                                              "WebBox from your system."_s});
    }

    void damagedFilesLoadWhatIsReadable()
    {
        Fixture f;
        QByteArray text = pw::webBoxHeader(u"News"_s);
        text += pw::formatWebBoxRecord(f.row(u"A"_s, u"http://a.example/"_s, u"3/7/1999 9:05:12 PM"_s));
        pw::WebBoxEntry dead = f.row(u"Dead"_s, u"*"_s, u"3/7/1999 9:06:12 PM"_s);
        text += pw::formatWebBoxRecord(dead) + pw::formatWebBoxRecord(dead);
        text += pw::formatWebBoxRecord(f.row(u"B"_s, u"http://b.example/"_s, u"3/7/1999 9:07:12 PM"_s));
        text += "[URL]\r\nDescription=Cut\r\nURL=http://c.example/\r\n";
        f.client.home.writeFile(u"home/webdata/News/News.wbx"_s, text);
        pw::client::Tinboxform *box = f.open();
        QCOMPARE(Fixture::column(box, 0), (QStringList{u"A"_s, u"B"_s}));
        // One message for the damaged records, none for the cut-short one.
        QCOMPARE(Prompt::shown(), QStringList{u"There was an error while trying to read one of your WebBoxes."_s});
    }

    void sortsAndReadMarks()
    {
        Fixture f;
        f.writeBox({f.row(u"beta"_s, u"http://b.example/"_s, u"1/10/2000 9:05:12 AM"_s),
                    f.row(u"Alpha"_s, u"http://C.example/"_s, u"1/2/2000 9:05:12 PM"_s),
                    f.row(u"gamma"_s, u"http://a.example/"_s, u"12/31/1999 11:59:59 PM"_s)});
        pw::client::Tinboxform *box = f.open();
        box->dodatesort();
        QCOMPARE(Fixture::column(box, 0), (QStringList{u"gamma"_s, u"Alpha"_s, u"beta"_s}));
        box->docaptionsort();
        QCOMPARE(Fixture::column(box, 0), (QStringList{u"Alpha"_s, u"beta"_s, u"gamma"_s}));
        // A header click sorts by its column.
        box->inbox()->header()->sectionClicked(1);
        QCOMPARE(Fixture::column(box, 1),
                 (QStringList{u"http://a.example/"_s, u"http://b.example/"_s, u"http://C.example/"_s}));

        // Ticking a box is saved at once, in the list's present order.
        QTreeWidgetItem *second = box->inbox()->topLevelItem(1);
        const QRect rect = box->inbox()->visualItemRect(second);
        second->setCheckState(0, Qt::Checked);
        QTest::mouseClick(box->inbox()->viewport(), Qt::LeftButton, {}, rect.center());
        QTRY_VERIFY(f.onDisk().at(1).read);
        QCOMPARE(f.onDisk().at(0).url, u"http://a.example/"_s);
        box->doreadsort();
        QCOMPARE(Fixture::column(box, 1).first(), u"http://b.example/"_s);
    }

    void deleteAndKeepOne()
    {
        Fixture f;
        const pw::WebBoxEntry twin = f.row(u"Twin"_s, u"http://t.example/"_s, u"3/7/1999 9:05:12 PM"_s);
        f.writeBox({twin, twin, f.row(u"Other"_s, u"http://o.example/"_s, u"3/7/1999 9:05:12 PM"_s)});
        pw::client::Tinboxform *box = f.open();
        Fixture::select(box, {0, 1});
        Prompt::setNextAnswer(Prompt::Answer::No);
        box->deleteurls();
        QCOMPARE(box->inbox()->topLevelItemCount(), 3);
        Prompt::setNextAnswer(Prompt::Answer::Yes);
        box->deleteurls();
        QCOMPARE(Fixture::column(box, 0), QStringList{u"Other"_s});
        QVERIFY(!QFileInfo::exists(twin.fileLocation));
        QCOMPARE(f.onDisk().size(), 1);

        // Three copies of one page arrive; the server says to keep only the latest.
        QTRY_VERIFY(f.server.hasClient());
        QStringList files;
        for (int i = 1; i <= 3; ++i) {
            const pw::WebBoxEntry e = f.row(u"Keep"_s, u"http://k.example/"_s, u"3/7/1999 9:0%1:00 PM"_s.arg(i));
            files.append(e.fileLocation);
            QVERIFY(pw::appendWebBox(pw::paths::webBoxFile(pw::paths::dataDir(), u"News"_s), u"News"_s, e));
            f.server.send({"BEGININBOXUPDATE", "News", "Keep", "http://k.example/", e.dateTime.toUtf8(), "*",
                           e.size.toUtf8(), e.fileLocation.toUtf8(), "TRUE", "ENDINBOXUPDATE"});
        }
        // The same block twice adds one row.
        f.server.send({"BEGININBOXUPDATE", "News", "Keep", "http://k.example/", "3/7/1999 9:03:00 PM", "*", "11",
                       files.last().toUtf8(), "TRUE", "ENDINBOXUPDATE"});
        f.server.send({"SCHEDUPDATE"});
        QSignalSpy marker(&f.window->clientSettings(), &pw::client::ClientSettings::scheduleChanged);
        QTRY_COMPARE(marker.size(), 1);
        QCOMPARE(box->inbox()->topLevelItemCount(), 4);
        qobject_cast<QMdiSubWindow *>(box->parentWidget())->close();
        const QList<pw::WebBoxEntry> left = f.onDisk();
        QCOMPARE(left.size(), 2);
        QCOMPARE(left.last().dateTime, u"3/7/1999 9:03:00 PM"_s);
        QVERIFY(!QFileInfo::exists(files[0]));
        QVERIFY(!QFileInfo::exists(files[1]));
        QVERIFY(QFileInfo::exists(files[2]));
    }

    void browserWindows()
    {
        Fixture f;
        // A picture on disk that the page names: the browser must not show it.
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::red);
        const QString pictureFile = f.client.home.path(u"picture.png"_s);
        QVERIFY(picture.save(pictureFile));
        const QUrl pictureUrl = QUrl::fromLocalFile(pictureFile);
        const QByteArray page = "<html><body><p>Changed <a href=\"../x.htm\">up</a> <a href=\"mailto:a@b\">mail</a>"
                                "<img src=\""
                                + pictureUrl.toEncoded() + "\"></p></body></html>";
        f.writeBox({f.row(u"A"_s, u"http://h.example/a/b/c/index.html"_s, u"3/7/1999 9:05:12 PM"_s, page),
                    f.row(u"B"_s, u"http://h.example/"_s, u"3/7/1999 9:06:12 PM"_s)});
        pw::client::Tinboxform *box = f.open();
        pw::client::Tviewer *viewer = box->inboxdoubleopen(0);
        QVERIFY(viewer);
        QCOMPARE(viewer->windowTitle(), u"Graphic-Free (News) [A ... 3/7/1999 9:05:12 PM]"_s);
        QVERIFY(viewer->view()->toPlainText().contains(u"Changed up mail"_s));
        QVERIFY(viewer->view()->document()->resource(QTextDocument::ImageResource, pictureUrl).value<QImage>().width()
                < 40);
        QCOMPARE(box->inbox()->topLevelItem(0)->checkState(0), Qt::Checked);
        QVERIFY(f.window->findChild<QMenu *>(u"webpagemenu"_s)->isEnabled());

        // Again: the same browser comes forward and the read box is ticked again.
        box->inbox()->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        QCOMPARE(box->inboxdoubleopen(0), viewer);
        QCOMPARE(box->inbox()->topLevelItem(0)->checkState(0), Qt::Checked);
        QCOMPARE(box->browserCount(), 1);
        QVERIFY(box->inboxdoubleopen(1) != viewer);
        QCOMPARE(box->browserCount(), 2);

        // Links go to the system's browser, resolved against where the page came from.
        pw::gui::UrlOpener::setRecording(true);
        pw::gui::UrlOpener::clearOpened();
        viewer->HTMLViewer1HotSpotCovered(u"../../x.htm"_s);
        QCOMPARE(viewer->statusText(), u"http://h.example/a/x.htm"_s);
        viewer->HTMLViewer1HotSpotClick(u"../../x.htm"_s);
        viewer->HTMLViewer1HotSpotClick(u"mailto:a@b"_s);
        viewer->opennew();
        pw::gui::UrlOpener::setRecording(false);
        QCOMPARE(pw::gui::UrlOpener::opened(),
                 (QList<QUrl>{QUrl(u"http://h.example/a/b/../x.htm"_s), QUrl(u"http://h.example/a/b/c/index.html"_s)}));
        QCOMPARE(Prompt::shown(), QStringList{u"Link not supported in Graphic-Free Browser."_s});

        // Printing asks first; Cancel prints nothing.
        const QString pdf = f.client.home.path(u"page.pdf"_s);
        pw::gui::Printing::setPdfOutput(pdf);
        Prompt::setNextAnswer(Prompt::Answer::Cancel);
        viewer->printFromToolbar();
        QVERIFY(!QFileInfo::exists(pdf));
        viewer->printFromToolbar();
        pw::gui::Printing::setPdfOutput({});
        QVERIFY(QFileInfo(pdf).size() > 0);
        QCOMPARE(Prompt::shown().last(), u"Now printing \"http://h.example/a/b/c/\""_s);

        // The browsers close with their WebBox window.
        qobject_cast<QMdiSubWindow *>(box->parentWidget())->close();
        QTRY_COMPARE(f.window->mdiArea()->subWindowList().size(), 0);
    }

    void windowListRestoresWindows()
    {
        Fixture f;
        f.writeBox({f.row(u"A"_s, u"http://h.example/a.htm"_s, u"3/7/1999 9:05:12 PM"_s),
                    f.row(u"B"_s, u"http://h.example/b.htm"_s, u"3/7/1999 9:06:12 PM"_s)});
        f.client.home.writeFile(u"home/webdata/window.lst"_s, "WebBox [Gone]\r\nWebBox [News]\r\n"
                                                              "Graphic-Free (News) [B ... 3/7/1999 9:06:12 PM]\r\n"
                                                              "Graphic-Free (Gone) [A ... 3/7/1999 9:05:12 PM]\r\n");
        pw::client::Tinboxform *box = f.open();
        QTRY_COMPARE(f.window->mdiArea()->subWindowList().size(), 2);
        QCOMPARE(box->browserCount(), 1);
        QCOMPARE(box->browsers().first()->windowTitle(), u"Graphic-Free (News) [B ... 3/7/1999 9:06:12 PM]"_s);
        QVERIFY(Prompt::shown().isEmpty());

        // Closing the client records them again.
        f.window->close();
        const QByteArray list = pwtest::readAll(pw::paths::windowListFile());
        QVERIFY(list.contains("WebBox [News]\r\n"));
        QVERIFY(list.contains("Graphic-Free (News) [B ... 3/7/1999 9:06:12 PM]\r\n"));
    }

    void fittedDetails()
    {
        const QFontMetrics metrics(QApplication::font());
        const QString longText = QString(400, u'w');
        const QString fitted = pw::client::SlotTextMaker(longText, metrics);
        QVERIFY(fitted.endsWith(u"..."_s));
        QVERIFY(metrics.horizontalAdvance(fitted.chopped(3)) <= 267);
        QVERIFY(metrics.horizontalAdvance(fitted.chopped(3) + u'w') > 267);
        QCOMPARE(pw::client::SlotTextMaker(u"short"_s, metrics), u"short"_s);
    }
};

QTEST_MAIN(TestWebBoxWindow)
#include "tst_webboxwindow.moc"
