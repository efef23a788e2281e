#include "pagebody.h"

#include "store/textlines.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

QByteArray unquoted(QByteArray value)
{
    value = value.trimmed();
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.sliced(1, value.size() - 2).trimmed();
    return value;
}

bool isValidUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

QStringList decodedLines(const QList<QByteArray> &lines, QString (*decode)(QByteArrayView))
{
    QStringList text;
    text.reserve(lines.size());
    for (const QByteArray &line : lines)
        text += decode(line);
    return text;
}

QString fromUtf8(QByteArrayView bytes)
{
    return QString::fromUtf8(bytes);
}

QString fromLatin1(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes);
}

} // namespace

QByteArray contentTypeCharset(QByteArrayView contentType)
{
    const QList<QByteArray> parts = contentType.toByteArray().split(';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const qsizetype eq = parts[i].indexOf('=');
        if (eq > 0 && parts[i].first(eq).trimmed().toLower() == "charset")
            return unquoted(parts[i].sliced(eq + 1));
    }
    return {};
}

QByteArray metaCharset(QByteArrayView body)
{
    const QByteArray head = body.first(qMin<qsizetype>(body.size(), 1024)).toByteArray().toLower();
    for (qsizetype meta = head.indexOf("<meta"); meta >= 0; meta = head.indexOf("<meta", meta + 5)) {
        qsizetype end = head.indexOf('>', meta);
        if (end < 0)
            end = head.size();
        const QByteArray tag = head.sliced(meta, end - meta);
        for (qsizetype at = tag.indexOf("charset"); at >= 0; at = tag.indexOf("charset", at + 7)) {
            qsizetype i = at + 7;
            while (i < tag.size() && tag[i] == ' ')
                ++i;
            if (i >= tag.size() || tag[i] != '=')
                continue;
            ++i;
            while (i < tag.size() && (tag[i] == ' ' || tag[i] == '"' || tag[i] == '\''))
                ++i;
            qsizetype stop = i;
            while (stop < tag.size() && !QByteArrayView(" \"';/").contains(tag[stop]))
                ++stop;
            if (stop > i)
                return tag.sliced(i, stop - i);
        }
    }
    return {};
}

QStringList pageBodyLines(const QByteArray &body, QByteArrayView contentType)
{
    QByteArrayView bytes = body;
    QByteArray charset;
    if (bytes.startsWith("\xef\xbb\xbf")) {
        charset = "utf-8";
        bytes = bytes.sliced(3);
    } else if (bytes.startsWith("\xfe\xff")) {
        charset = "utf-16be";
        bytes = bytes.sliced(2);
    } else if (bytes.startsWith("\xff\xfe")) {
        charset = "utf-16le";
        bytes = bytes.sliced(2);
    } else {
        charset = contentTypeCharset(contentType);
        if (charset.isEmpty()) {
            charset = metaCharset(bytes);
            // A tag read as ASCII cannot be in UTF-16, whatever it says.
            if (charset.startsWith("utf-16"))
                charset = "utf-8";
        }
    }

    QStringDecoder decoder;
    if (!charset.isEmpty())
        decoder = QStringDecoder(charset.constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return decodedLines(pw::splitBodyLines(bytes), isValidUtf8(bytes) ? fromUtf8 : fromLatin1);
    const QByteArray name = QByteArray(decoder.name()).toLower();
    if (name == "utf-8")
        return decodedLines(pw::splitBodyLines(bytes), fromUtf8);
    if (name == "iso-8859-1")
        return decodedLines(pw::splitBodyLines(bytes), fromLatin1);
    // Any other encoding, UTF-16 among them, may use the bytes of CR, LF and NUL inside
    // its characters: read the whole text first, then split it by the same rule.
    const QString text = decoder.decode(bytes);
    return decodedLines(pw::splitBodyLines(text.toUtf8()), fromUtf8);
}

} // namespace pw::client
