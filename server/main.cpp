// The retrieval server. Until its engine and windows exist it prepares the data
// directories, reads the settings and the known URL Lists, reports them and ends.
#include "store/dialup.h"
#include "store/paths.h"
#include "store/settings.h"
#include "store/webboxeslist.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("wardserv"));

    auto store = pw::paths::openSettings();
    const pw::Settings settings = pw::settings::load(*store, pw::EmptyPhoneBook());
    const pw::WebBoxesList lists = pw::loadWebBoxesList(*store, settings.datadir);

    QTextStream out(stdout);
    out << "wardserv: data directory " << settings.datadir << ", " << lists.names.size() << " known URL Lists, "
        << settings.numthreads << " retrieval threads\n";
    out << "wardserv: the retrieval server is not built yet; nothing to serve.\n";
    return 0;
}
