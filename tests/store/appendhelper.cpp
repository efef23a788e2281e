// Appends records to a shared file from a separate process, as the other program would.
// Usage: pw_append_helper webbox|log PATH TAG COUNT
#include "store/actionlog.h"
#include "store/webbox.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    const QString kind = args[1];
    const QString path = args[2];
    const QString tag = args[3];
    const int count = args[4].toInt();
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        const QString id = tag + u'-' + QString::number(i);
        bool ok = false;
        if (kind == u"webbox"_s) {
            ok = pw::appendWebBox(
                path, u"News"_s,
                {id, u"http://host/"_s + id, u"*"_s, u"1"_s, u"/f/"_s + id, u"3/7/2026 9:05:12 PM"_s, false});
        } else {
            ok = pw::appendLogEntry(path, {u"3/7/2026 9:05:12 PM"_s, u"entry "_s + id});
        }
        if (!ok)
            ++failures;
    }
    return failures == 0 ? 0 : 1;
}
