// The client's handling of what the server sends: any byte stream, cut into lines as the
// link does, sorted into states and update blocks without failing, and every block that
// comes out carries trimmed fields.
#include "fuzzcheck.h"

#include "client/core/linkdispatcher.h"
#include "store/linkframing.h"

namespace {

bool trimmed(const QString &field)
{
    return field == field.trimmed();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    pw::link::LineFramer framer(pw::link::LineFramer::Overlong::Discard);
    const QList<QByteArray> lines = framer.feed(fuzz::bytes(data, size));

    pw::client::LinkDispatcher dispatcher;
    int blocks = 0;
    int ends = 0;
    QObject::connect(
        &dispatcher, &pw::client::LinkDispatcher::inboxUpdate, &dispatcher, [&](const pw::link::InboxUpdate &u) {
            ++blocks;
            for (const QString *field :
                 {&u.listName, &u.description, &u.url, &u.dateTime, &u.lastModified, &u.size, &u.fileLocation})
                FUZZ_CHECK(trimmed(*field));
        });
    QObject::connect(
        &dispatcher, &pw::client::LinkDispatcher::editUpdate, &dispatcher, [&](const pw::link::EditUpdate &u) {
            ++blocks;
            FUZZ_CHECK(trimmed(u.listName) && trimmed(u.url) && trimmed(u.lastModified) && trimmed(u.size));
        });
    QObject::connect(&dispatcher, &pw::client::LinkDispatcher::reportUpdate, &dispatcher,
                     [&](const pw::link::ReportUpdate &u) {
                         ++blocks;
                         FUZZ_CHECK(trimmed(u.dateTime) && trimmed(u.listName) && trimmed(u.fileLocation));
                     });
    for (const QByteArray &line : lines) {
        if (line.startsWith("END"))
            ++ends;
        dispatcher.IPPort1DataIn(QString::fromUtf8(line));
    }
    // Each block needs an END line of its own.
    FUZZ_CHECK(blocks <= ends);
    return 0;
}
