#include "inifile.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace pw::client {

IniFile::IniFile(const QByteArray &content)
{
    QString text = QString::fromUtf8(content);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QHash<QString, QString> *section = nullptr;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && text.at(end) != u'\r' && text.at(end) != u'\n')
            ++end;
        const QString line = text.mid(start, end - start).trimmed();
        // CR LF, CR and LF all end a line.
        start = end + ((end + 1 < text.size() && text.at(end) == u'\r' && text.at(end + 1) == u'\n') ? 2 : 1);
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).trimmed().toLower();
            section = &m_sections[name];
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!section || eq < 0)
            continue;
        const QString key = line.left(eq).trimmed().toLower();
        if (!section->contains(key))
            section->insert(key, line.mid(eq + 1).trimmed());
    }
}

IniFile IniFile::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return IniFile(file.read(kMaxBytes));
}

bool IniFile::contains(const QString &section, const QString &key) const
{
    const auto it = m_sections.constFind(section.toLower());
    return it != m_sections.constEnd() && it->contains(key.toLower());
}

QString IniFile::value(const QString &section, const QString &key, const QString &fallback) const
{
    const auto it = m_sections.constFind(section.toLower());
    if (it == m_sections.constEnd())
        return fallback;
    return it->value(key.toLower(), fallback);
}

QList<QString> IniFile::keys(const QString &section) const
{
    return m_sections.value(section.toLower()).keys();
}

} // namespace pw::client
