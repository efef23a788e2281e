// Renders the pictures of the tutorial pages from the real windows, offscreen:
//   QT_QPA_PLATFORM=offscreen build/tests/pw_tutorialshots resources/tutorial
// Each window is drawn with QWidget::grab and kept small (scaled, PNG).
#include "support/fakelinkserver.h"
#include "support/testhome.h"

#include "clienthome.h"

#include "client/app/bookmarkwizard.h"
#include "client/app/gettingstarted.h"
#include "client/app/mainwindow.h"
#include "client/app/pageimportform.h"
#include "client/app/setupform.h"
#include "client/app/urllisteditor.h"
#include "client/app/urltree.h"
#include "client/app/urlwizard.h"
#include "client/core/newentry.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

bool save(QWidget *widget, const QString &file)
{
    QCoreApplication::processEvents();
    QImage image = widget->grab().toImage();
    if (image.width() > 460)
        image = image.scaledToWidth(460, Qt::SmoothTransformation);
    image = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    return image.save(file, "PNG", 9);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: pw_tutorialshots <output folder>\n";
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + u'/';
    QDir().mkpath(out);
    const QString resources = QDir(QCoreApplication::applicationDirPath() + u"/../bin"_s).absolutePath();

    pwtest::FakeLinkServer server;
    pwtest::ClientHome client(server.port());
    // The library of the build, so the wizards show the real categories.
    QDir().mkpath(client.home.path(u"install/wizdata"_s));
    for (const QString &file : QDir(resources + u"/wizdata"_s).entryList(QDir::Files))
        QFile::copy(resources + u"/wizdata/"_s + file, client.home.path(u"install/wizdata/"_s) + file);
    client.addLists({u"Security_Advisories"_s, u"Weather"_s});
    client.writeIndex("Pagewarden\r\n\tQuickStart\r\n\t\tSecurity_Advisories\r\n\tWeather\r\n");

    pw::client::MainWindow window;
    if (!window.forminit())
        return 1;
    window.clientSettings().setShowFirst(true);
    window.show();
    window.tree()->expandAll();
    bool ok = save(&window, out + u"main.png"_s);

    auto *start = new pw::client::Twizardone(window);
    start->show();
    ok = save(start, out + u"gettingstarted.png"_s) && ok;
    start->reject();

    pw::client::Turladdform *editor = window.openListEditor({});
    const pw::Settings &settings = window.clientSettings().settings();
    editor->appendEntry(
        pw::client::newEntry(settings, u"https://www.debian.org/security/"_s, u"Debian security advisories"_s));
    editor->appendEntry(pw::client::newEntry(settings, u"https://www.kernel.org/"_s, u"Linux kernel releases"_s));
    ok = save(editor, out + u"editor.png"_s) && ok;

    editor->openUrlLibrary();
    if (auto *library = editor->findChild<pw::client::Turlwizard *>()) {
        ok = save(library, out + u"library.png"_s) && ok;
        library->reject();
    }
    editor->openLinkWizard();
    if (auto *links = editor->findChild<pw::client::Tpageimportform *>()) {
        links->findChild<QLineEdit *>(u"urltoget"_s)->setText(u"https://www.kernel.org/"_s);
        auto *list = links->findChild<QListWidget *>(u"displayurls"_s);
        for (const QString &url :
             {u"https://www.kernel.org/category/releases.html"_s, u"https://www.kernel.org/category/about.html"_s,
              u"https://www.kernel.org/feeds/kdist.xml"_s}) {
            auto *row = new QListWidgetItem(url, list);
            row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
            row->setCheckState(url.contains(u"releases"_s) ? Qt::Checked : Qt::Unchecked);
        }
        ok = save(links, out + u"linkwizard.png"_s) && ok;
        links->reject();
    }
    editor->openBookmarks();
    if (auto *bookmarks = editor->findChild<pw::client::Tbookmarks *>()) {
        bookmarks->findChild<QCheckBox *>(u"firefox"_s)->setChecked(true);
        ok = save(bookmarks, out + u"bookmarks.png"_s) && ok;
        bookmarks->reject();
    }
    editor->Modified = false;
    editor->close();

    window.setupForm()->showSetup();
    ok = save(window.setupForm(), out + u"setup.png"_s) && ok;
    window.setupForm()->hide();
    return ok ? 0 : 1;
}
