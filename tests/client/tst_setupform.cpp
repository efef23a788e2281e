// The Setup dialog offscreen, opened from the main window as a user opens it, with the
// settings in a real INI file and "REFRESHSETUP" going over a real TCP connection: closing,
// the checks of saving, the pages' couplings, sound, dial-up, fonts and page set-up.
#include "setupfixture.h"

#include "client/core/clientmessages.h"

#include "client/app/fontchooser.h"
#include "client/core/setuptexts.h"
#include "gui/prompt.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolBar>
#include <QtTest>

using namespace Qt::StringLiterals;
using pw::client::qs;
using pw::gui::Prompt;
using namespace setuptest;

class TestSetupForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Prompt::clearShown(); }

    void pagesAndControls()
    {
        SetupFixture f;
        QVERIFY(f.open());
        QCOMPARE(f.setup->windowTitle(), u"Pagewarden Setup"_s);
        const QTabWidget *pages = f.find<QTabWidget>(u"pages"_s);
        QStringList tabs;
        for (int i = 0; i < pages->count(); ++i)
            tabs << pages->tabText(i);
        QCOMPARE(tabs, (QStringList{u"Scheduler"_s, u"Defaults"_s, u"Reports"_s, u"Dial-Up"_s, u"Web Shortcuts"_s,
                                    u"Internet "_s, u"Printing"_s}));
        QCOMPARE(pages->currentIndex(), 0);
        // Every control bears the name of the setting behind it.
        for (const char *name :
             {"defaulturl", "soundeffect", "smtpserver", "origmail", "sendmail", "dunuser", "dunpass", "busyretries",
              "addurl", "desctoadd", "proxyserver", "proxyport", "proxyuser", "proxypass", "useragent", "httptimeout",
              "slowtimeout", "bytethresh", "sizeprot"})
            QVERIFY2(f.find<QLineEdit>(QString::fromLatin1(name)), name);
        for (const char *name :
             {"placeintray", "systemtray", "useeffect", "reportscapability", "reportunchanged", "emailreports",
              "emailblank", "enabledun", "discdun", "shortcutenabled", "useproxy", "dispdate", "dispname"})
            QVERIFY2(f.find<QCheckBox>(QString::fromLatin1(name)), name);
        for (const char *name : {"titledetails", "subtitledetails", "bodydetails"})
            QVERIFY2(f.find<QLabel>(QString::fromLatin1(name)) && f.find<QLabel>(QString::fromLatin1(name))->isHidden(),
                     name);
        QVERIFY(f.find<QSlider>(u"numthreads"_s));
        QVERIFY(f.find<QListWidget>(u"pbookentries"_s));
        QVERIFY(f.find<QListWidget>(u"reportlist"_s));
        QVERIFY(f.find<QTreeWidget>(u"schedview"_s));
        QVERIFY(f.find<QTreeWidget>(u"urlshortcuts"_s));
        QVERIFY(f.find<QLineEdit>(u"dunpass"_s)->echoMode() == QLineEdit::Password);
        QVERIFY(f.find<QLineEdit>(u"proxypass"_s)->echoMode() == QLineEdit::Password);
        // The pickers: "All WebBoxes" and the known lists.
        const QComboBox *picker = f.find<QComboBox>(u"availboxes"_s);
        QStringList items;
        for (int i = 0; i < picker->count(); ++i)
            items << picker->itemText(i);
        QCOMPARE(items, (QStringList{u"All WebBoxes"_s, u"News"_s, u"Weather"_s}));
        // First-start values.
        QCOMPARE(f.find<QLineEdit>(u"sizeprot"_s)->text(), u"50"_s);
        QCOMPARE(f.find<QLineEdit>(u"proxyport"_s)->text(), u"80"_s);
        QCOMPARE(f.find<QSlider>(u"numthreads"_s)->value(), 10);
        QVERIFY(!f.find<QLineEdit>(u"proxyserver"_s)->isEnabled());
        QVERIFY(!f.find<QPushButton>(u"browsebtn"_s)->isEnabled());
        QVERIFY(!f.find<QListWidget>(u"reportlist"_s)->isEnabled());
    }

    void everyCloseSavesAndTellsTheServer_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("OK") << u"ok"_s;
        QTest::newRow("Cancel") << u"cancel"_s;
        QTest::newRow("close box") << u"close"_s;
        QTest::newRow("Escape") << u"escape"_s;
    }

    void everyCloseSavesAndTellsTheServer()
    {
        QFETCH(QString, how);
        SetupFixture f;
        QVERIFY(f.open());
        QTRY_VERIFY(f.server.hasClient());
        f.type(u"useragent"_s, u"TestAgent/2"_s);
        if (how == u"ok"_s)
            f.click(u"okbtn"_s);
        else if (how == u"cancel"_s)
            f.click(u"cancelbtn"_s);
        else if (how == u"close"_s)
            f.setup->close();
        else
            QTest::keyClick(f.setup, Qt::Key_Escape);
        QVERIFY(!f.setup->isVisible());
        QCOMPARE(stored(u"Defaults/User Agent"_s), u"TestAgent/2"_s);
        QCOMPARE(f.window->clientSettings().settings().useragent, u"TestAgent/2"_s);
        QTRY_VERIFY(f.refreshSetupSent());
        QVERIFY(Prompt::shown().isEmpty());
    }

    void sizeProtection_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::newRow("0") << u"0"_s << qs(pw::client::text::kSizeProtectionRange);
        QTest::newRow("101") << u"101"_s << qs(pw::client::text::kSizeProtectionRange);
        QTest::newRow("not a number") << u"half"_s << qs(pw::client::text::kBadSizeProtection);
        QTest::newRow("1") << u"1"_s << QString();
        QTest::newRow("100") << u"100"_s << QString();
    }

    void sizeProtection()
    {
        QFETCH(QString, value);
        QFETCH(QString, message);
        SetupFixture f;
        QVERIFY(f.open());
        f.type(u"sizeprot"_s, value);
        f.click(u"okbtn"_s);
        if (message.isEmpty()) {
            QVERIFY(Prompt::shown().isEmpty());
            QVERIFY(!f.setup->isVisible());
            QCOMPARE(stored(u"Defaults/SizeProt"_s), value);
            return;
        }
        QCOMPARE(Prompt::shown(), QStringList{message});
        QVERIFY(f.setup->isVisible());
        QVERIFY(f.find<QPushButton>(u"okbtn"_s)->isEnabled());
        QCOMPARE(f.find<QLineEdit>(u"sizeprot"_s)->text(), value); // kept as typed
        QVERIFY(stored(u"Defaults/SizeProt"_s).isEmpty());
        // Put right, the dialog closes and the server hears of it once.
        f.type(u"sizeprot"_s, u"60"_s);
        f.click(u"okbtn"_s);
        QVERIFY(!f.setup->isVisible());
        QTRY_VERIFY(f.refreshSetupSent());
        QCOMPARE(f.server.received.count(QByteArray(pw::link::kRefreshSetup)), 1);
    }

    void proxyPortLookedAtOnlyWithTheProxyOn_data()
    {
        QTest::addColumn<bool>("useProxy");
        QTest::addColumn<QString>("message");
        QTest::newRow("proxy on") << true << qs(pw::client::text::kBadProxyPort);
        QTest::newRow("proxy off") << false << QString();
    }

    void proxyPortLookedAtOnlyWithTheProxyOn()
    {
        QFETCH(bool, useProxy);
        QFETCH(QString, message);
        SetupFixture f;
        QVERIFY(f.open());
        if (useProxy)
            f.click(u"useproxy"_s);
        f.type(u"proxyserver"_s, u"proxy.example"_s);
        f.type(u"proxyport"_s, u"0"_s);
        f.click(u"okbtn"_s);
        QCOMPARE(Prompt::shown().value(0), message);
        QCOMPARE(f.setup->isVisible(), useProxy);
        QCOMPARE(stored(u"Defaults/UseProxy"_s), useProxy ? u"On"_s : u"Off"_s);
    }

    void proxyValuesKeptWhileTheProxyIsOff()
    {
        SetupFixture f;
        QVERIFY(f.open());
        f.click(u"useproxy"_s);
        f.type(u"proxyserver"_s, u"proxy.example"_s);
        f.type(u"proxyport"_s, u"3128"_s);
        f.type(u"proxyuser"_s, u"me"_s);
        f.type(u"proxypass"_s, u"secret"_s);
        f.click(u"okbtn"_s);
        QVERIFY(!f.setup->isVisible());
        const QString pass = stored(u"Defaults/Proxy Pass"_s);
        QVERIFY(!pass.isEmpty());

        f.window->findChild<QAction *>(u"setupbtn"_s)->trigger();
        QVERIFY(f.find<QLineEdit>(u"proxyserver"_s)->isEnabled());
        f.click(u"useproxy"_s);
        QVERIFY(!f.find<QLineEdit>(u"proxyserver"_s)->isEnabled());
        f.type(u"proxyserver"_s, u"other.example"_s);
        f.type(u"proxyport"_s, u"0"_s);
        f.click(u"cancelbtn"_s);
        QVERIFY(!f.setup->isVisible());
        QCOMPARE(stored(u"Defaults/UseProxy"_s), u"Off"_s);
        QCOMPARE(stored(u"Defaults/Proxy Server"_s), u"proxy.example"_s);
        QCOMPARE(stored(u"Defaults/Proxy Port"_s), u"3128"_s);
        QCOMPARE(stored(u"Defaults/Proxy User"_s), u"me"_s);
        QCOMPARE(stored(u"Defaults/Proxy Pass"_s), pass);
        // Reloaded after the save, the fields show what is stored.
        QCOMPARE(f.find<QLineEdit>(u"proxyserver"_s)->text(), u"proxy.example"_s);
    }

    void aFailedCheckKeepsWhatWasWrittenBefore()
    {
        SetupFixture f;
        QVERIFY(f.open());
        f.click(u"dispdate"_s); // off; written before the proxy values
        f.click(u"useproxy"_s);
        f.type(u"proxyport"_s, u"0"_s);
        f.type(u"useragent"_s, u"Later/1"_s);
        f.click(u"cancelbtn"_s);
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kBadProxyPort)});
        QVERIFY(f.setup->isVisible());
        QCOMPARE(stored(u"Defaults/DispDate"_s), u"Off"_s);
        QVERIFY(stored(u"Defaults/User Agent"_s).isEmpty());
    }

    void soundUncheckedStaysOff()
    {
        SetupFixture f;
        const QString wav = f.client.home.writeFile(u"install/chime.wav"_s, "RIFF");
        store(u"Defaults/Sound Effect"_s, u"On"_s);
        store(u"Defaults/Sound File"_s, wav);
        QVERIFY(f.open());
        QVERIFY(f.find<QCheckBox>(u"useeffect"_s)->isChecked());
        QCOMPARE(f.find<QLineEdit>(u"soundeffect"_s)->text(), wav);
        f.click(u"useeffect"_s);
        QVERIFY(!f.find<QPushButton>(u"browsebtn"_s)->isEnabled());
        f.click(u"okbtn"_s);
        QCOMPARE(stored(u"Defaults/Sound Effect"_s), u"Off"_s);
        f.window->findChild<QAction *>(u"setupbtn"_s)->trigger();
        QVERIFY(!f.find<QCheckBox>(u"useeffect"_s)->isChecked());
    }

    void soundFileChooser()
    {
        SetupFixture f;
        const QString wav = f.client.home.writeFile(u"install/chime.wav"_s, "RIFF");
        QVERIFY(f.open());
        f.click(u"useeffect"_s);
        f.click(u"browsebtn"_s);
        auto *chooser = f.find<QFileDialog>(u"soundchooser"_s);
        QVERIFY(chooser && chooser->isVisible());
        QCOMPARE(chooser->windowTitle(), u"Specify Sound Effect"_s);
        QCOMPARE(QDir(chooser->directory()).canonicalPath(), QDir(pw::paths::installDir()).canonicalPath());
        QCOMPARE(chooser->nameFilters(), QStringList{u"WAV Files (*.wav)"_s});
        // A file that went away before it was taken is refused.
        Q_EMIT chooser->fileSelected(f.client.home.path(u"install/gone.wav"_s));
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kSoundFileMissing)});
        QVERIFY(f.find<QLineEdit>(u"soundeffect"_s)->text().isEmpty());
        chooser->selectFile(wav);
        static_cast<QDialog *>(chooser)->accept();
        QCOMPARE(f.find<QLineEdit>(u"soundeffect"_s)->text(), wav);
        QVERIFY(f.find<QCheckBox>(u"useeffect"_s)->isChecked());
        f.click(u"okbtn"_s);
        QCOMPARE(stored(u"Defaults/Sound Effect"_s), u"On"_s);
        QCOMPARE(stored(u"Defaults/Sound File"_s), wav);
    }

    void mailFieldsFollowTheirBox()
    {
        SetupFixture f;
        QVERIFY(f.open());
        f.click(u"reportscapability"_s);
        QVERIFY(f.find<QCheckBox>(u"emailreports"_s)->isEnabled());
        QVERIFY(!f.find<QLineEdit>(u"smtpserver"_s)->isEnabled());
        f.click(u"emailreports"_s);
        QVERIFY(f.find<QLineEdit>(u"smtpserver"_s)->isEnabled());
        f.click(u"emailblank"_s);
        f.click(u"emailreports"_s);
        QVERIFY(!f.find<QCheckBox>(u"emailblank"_s)->isChecked());
        QVERIFY(!f.find<QCheckBox>(u"emailblank"_s)->isEnabled());
        f.click(u"emailreports"_s);
        f.type(u"smtpserver"_s, u"mail.example"_s);
        f.type(u"origmail"_s, u"me@example.org"_s);
        f.type(u"sendmail"_s, u"you example.org"_s);
        f.click(u"okbtn"_s);
        QCOMPARE(Prompt::shown(), QStringList{u"You must enter a valid \"receipt\" address."_s});
        f.type(u"sendmail"_s, u"you@example.org"_s);
        f.click(u"okbtn"_s);
        QVERIFY(!f.setup->isVisible());
        QCOMPARE(stored(u"Defaults/E-Mail Reports"_s), u"On"_s);
        QCOMPARE(stored(u"Defaults/Mail-Receipt"_s), u"you@example.org"_s);
    }

    void dialUpControlsWaitForAUserName()
    {
        SetupFixture f;
        f.book->book = {u"Office"_s, u"Home"_s};
        store(u"Defaults/DUN"_s, u"On"_s);
        store(u"Defaults/DUN-Index"_s, u"1"_s);
        QVERIFY(f.open());
        auto *enable = f.find<QCheckBox>(u"enabledun"_s);
        auto *entries = f.find<QListWidget>(u"pbookentries"_s);
        QVERIFY(enable->isChecked());
        QVERIFY(!entries->isEnabled());
        QVERIFY(!f.find<QLineEdit>(u"dunuser"_s)->isEnabled());
        QVERIFY(!f.find<QCheckBox>(u"discdun"_s)->isEnabled());
        QCOMPARE(f.find<QLineEdit>(u"busyretries"_s)->text(), u"5"_s);
        QVERIFY(entries->selectedItems().isEmpty());

        f.book->book = {u"Office"_s, u"Home"_s, u"Mobile"_s};
        enable->click();
        enable->click();
        QVERIFY(enable->isChecked());
        QVERIFY(entries->isEnabled());
        QVERIFY(f.find<QLineEdit>(u"dunuser"_s)->isEnabled());
        QCOMPARE(entries->count(), 3);

        f.click(u"okbtn"_s);
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kDunNoEntry)});
        entries->setCurrentRow(2);
        f.type(u"dunuser"_s, u"me"_s);
        f.type(u"dunpass"_s, u"secret"_s);
        f.click(u"okbtn"_s);
        QVERIFY(!f.setup->isVisible());
        QCOMPARE(stored(u"Defaults/DUN-Index"_s), u"2"_s);

        // With user and password stored, the entry comes up chosen and the controls on.
        f.window->findChild<QAction *>(u"setupbtn"_s)->trigger();
        QVERIFY(entries->isEnabled());
        QCOMPARE(entries->currentRow(), 2);
        QCOMPARE(entries->currentItem()->text(), u"Mobile"_s);
    }

    void fontChoice()
    {
        SetupFixture f;
        QVERIFY(f.open());
        auto *title = f.find<QLabel>(u"titledetails"_s);
        QCOMPARE(title->text(), u"Times New Roman,12,Bold,Black,Underline"_s);
        auto *chooser = f.find<pw::client::FontChooser>(u"fontchooser"_s);

        // OK without a change keeps the setting, even where the face is missing here.
        f.click(u"titlefontbtn"_s);
        QVERIFY(chooser->isVisible());
        chooser->findChild<QPushButton *>(u"fontokbtn"_s)->click();
        QCOMPARE(title->text(), u"Times New Roman,12,Bold,Black,Underline"_s);

        f.click(u"bodyfontbtn"_s);
        QFont font(u"DejaVu Sans"_s, 14);
        font.setItalic(true);
        chooser->fontDialog()->setCurrentFont(font);
        chooser->colourList()->setCurrentIndex(chooser->colourList()->findText(u"Navy"_s));
        chooser->findChild<QPushButton *>(u"fontokbtn"_s)->click();
        QCOMPARE(f.find<QLabel>(u"bodydetails"_s)->text(), u"DejaVu Sans,14,Italic,Navy"_s);
        const QLabel *sample = f.find<QLabel>(u"bodysample"_s);
        QCOMPARE(sample->text(), u"This is what your body text will look like at 8pt font. "_s);
        QCOMPARE(sample->font().family(), u"DejaVu Sans"_s);
        QCOMPARE(sample->font().pointSize(), 8);
        QVERIFY(sample->font().italic());
        QCOMPARE(sample->palette().color(QPalette::WindowText), QColor(0, 0, 0x80));

        // A new size for a face missing here keeps the face's name.
        f.click(u"titlefontbtn"_s);
        QFont bigger = chooser->fontDialog()->currentFont();
        bigger.setPointSize(16);
        chooser->fontDialog()->setCurrentFont(bigger);
        chooser->findChild<QPushButton *>(u"fontokbtn"_s)->click();
        QCOMPARE(title->text(), u"Times New Roman,16,Bold,Underline,Black"_s);

        // Cancel changes nothing.
        f.click(u"subtitlefontbtn"_s);
        chooser->reject();
        QCOMPARE(f.find<QLabel>(u"subtitledetails"_s)->text(), u"Times New Roman,10,Red"_s);

        f.click(u"okbtn"_s);
        QCOMPARE(stored(u"Defaults/Body Font"_s), u"DejaVu Sans,14,Italic,Navy"_s);
        QCOMPARE(stored(u"Defaults/Title Font"_s), u"Times New Roman,16,Bold,Underline,Black"_s);
    }

    void printSetupDialog()
    {
        SetupFixture f;
        QVERIFY(f.open());
        const QPageLayout before = f.setup->printSetup().layout();
        // A quarter inch at the sides, a fifteenth at top and bottom.
        QCOMPARE(before.margins(QPageLayout::Inch).left(), 0.25);
        QVERIFY(qAbs(before.margins(QPageLayout::Inch).top() - 1.0 / 15) < 1e-9);
        f.click(u"printsetupbtn"_s);
        auto *dialog = f.setup->findChild<QPageSetupDialog *>(u"pagesetupdialog"_s);
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->printer()->pageLayout().orientation(), before.orientation());
        QCOMPARE(dialog->printer()->pageLayout().pageSize().id(), before.pageSize().id());
        dialog->accept();
        QCOMPARE(f.setup->printSetup().layout().pageSize().id(), before.pageSize().id());
        QCOMPARE(f.setup->printSetup().layout().orientation(), before.orientation());
    }

    void threadsAndTrayFlags()
    {
        SetupFixture f;
        QVERIFY(f.open());
        f.find<QSlider>(u"numthreads"_s)->setValue(3);
        QCOMPARE(f.find<QLabel>(u"threadcount"_s)->text(), u"3"_s);
        f.click(u"systemtray"_s);
        f.choose(u"agentlist"_s, u"Mozilla/4.51 [en] (Win95; I)"_s);
        Q_EMIT f.find<QComboBox>(u"agentlist"_s)->activated(1);
        QCOMPARE(f.find<QLineEdit>(u"useragent"_s)->text(), u"Mozilla/4.51 [en] (Win95; I)"_s);
        f.type(u"defaulturl"_s, u"http://"_s);
        f.click(u"okbtn"_s);
        QCOMPARE(stored(u"Defaults/Threads"_s), u"3"_s);
        QCOMPARE(stored(u"Defaults/System Tray"_s), u"Off"_s);
        QCOMPARE(stored(u"Defaults/User Agent"_s), u"Mozilla/4.51 [en] (Win95; I)"_s);
        QCOMPARE(stored(u"Defaults/Default URL"_s), QString::fromLatin1(pw::kDefaultHomePage));
    }
};

QTEST_MAIN(TestSetupForm)
#include "tst_setupform.moc"
