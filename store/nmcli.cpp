#include "nmcli.h"

using namespace Qt::StringLiterals;

namespace pw::nmcli {

namespace {

// nmcli's exit status when its --wait time ran out.
constexpr int kTimeoutExit = 3;

// NetworkManager's texts for the device state reasons of a modem call.
const char *const kBusyReasons[] = {"The line is busy", "modem-busy"};
const char *const kNoAnswerReasons[] = {"No carrier could be established", "The dialing request timed out",
                                        "modem-no-carrier", "modem-dial-timeout"};

template <std::size_t N> bool mentions(const QString &message, const char *const (&reasons)[N])
{
    for (const char *reason : reasons) {
        if (message.contains(QLatin1StringView(reason), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

QList<QStringList> parseTerse(QByteArrayView output, int fieldCount)
{
    QList<QStringList> records;
    qsizetype start = 0;
    while (start < output.size()) {
        qsizetype end = output.indexOf('\n', start);
        if (end < 0)
            end = output.size();
        QByteArrayView line = output.sliced(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;

        QStringList fields;
        QByteArray field;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const char c = line[i];
            if (c == '\\' && i + 1 < line.size() && (line[i + 1] == ':' || line[i + 1] == '\\')) {
                field += line[++i];
            } else if (c == ':') {
                fields.append(QString::fromUtf8(field));
                field.clear();
            } else {
                field += c;
            }
        }
        fields.append(QString::fromUtf8(field));
        if (fields.size() == fieldCount)
            records.append(fields);
    }
    return records;
}

QString escapeTerse(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        if (c == u'\\' || c == u':')
            out += u'\\';
        out += c;
    }
    return out;
}

QString activeHandle(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString last = path.sliced(slash + 1);
    // A handle goes back into a command line: digits only, of a sane length.
    if (last.isEmpty() || last.size() > 18)
        return {};
    for (const QChar c : last) {
        if (c < u'0' || c > u'9')
            return {};
    }
    return last;
}

QString errorMessage(QByteArrayView errorOutput)
{
    const QStringList lines = QString::fromUtf8(errorOutput).split(u'\n');
    for (const QString &line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u"Error: "_s))
            return trimmed.sliced(7).trimmed();
    }
    for (const QString &line : lines) {
        if (!line.trimmed().isEmpty())
            return line.trimmed();
    }
    return {};
}

DialOutcome dialOutcome(int exitCode, QByteArrayView errorOutput)
{
    DialOutcome outcome;
    if (exitCode == 0) {
        outcome.connected = true;
        return outcome;
    }
    QString message = errorMessage(errorOutput);
    if (message.isEmpty())
        message = u"nmcli ended with exit status %1."_s.arg(exitCode);
    if (mentions(message, kBusyReasons))
        outcome.errorNumber = kLineBusyError;
    else if (exitCode == kTimeoutExit || mentions(message, kNoAnswerReasons))
        outcome.errorNumber = kNoAnswerError;
    outcome.errorText =
        outcome.errorNumber ? u"Error "_s + QString::number(outcome.errorNumber) + u": "_s + message : message;
    return outcome;
}

} // namespace pw::nmcli
