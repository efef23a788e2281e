// The client. Until its windows exist it prepares the data directories, reads the
// settings and the URL-List tree, reports them and ends.
#include "store/dialup.h"
#include "store/paths.h"
#include "store/settings.h"
#include "store/treeindex.h"
#include "store/webboxeslist.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pagewarden"));

    auto store = pw::paths::openSettings();
    const pw::Settings settings = pw::settings::load(*store, pw::EmptyPhoneBook());
    const pw::WebBoxesList lists = pw::loadWebBoxesList(*store, settings.datadir);
    const pw::TreeRead tree = pw::readTreeIndex(pw::paths::treeIndexFile());

    QTextStream out(stdout);
    out << "pagewarden: settings " << pw::paths::settingsFile() << "\n";
    out << "pagewarden: data directory " << settings.datadir << "\n";
    if (tree.ok)
        out << "pagewarden: " << tree.items.size() << " tree items, " << lists.names.size() << " URL Lists\n";
    else
        out << "pagewarden: the tree index cannot be read: " << tree.error << "\n";
    out << "pagewarden: the windows are not built yet.\n";
    return tree.ok ? 0 : 1;
}
