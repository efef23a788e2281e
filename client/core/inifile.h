#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace pw::client {

// A small reader for INI-style data files (the URL library's ".dta" files). QSettings
// would turn a value with a comma into a list. Sections and keys are matched without
// regard to letter case, a value is everything after the first "=" (blanks around key
// and value dropped), and the first of two equal keys wins. Any bytes are accepted.
class IniFile
{
public:
    // Files larger than this are read up to it: the library files are small.
    static constexpr qint64 kMaxBytes = 4 * 1024 * 1024;

    IniFile() = default;
    explicit IniFile(const QByteArray &content);
    // An unreadable file reads as empty.
    static IniFile load(const QString &path);

    bool contains(const QString &section, const QString &key) const;
    QString value(const QString &section, const QString &key, const QString &fallback = {}) const;
    // The keys of a section, lower-cased.
    QList<QString> keys(const QString &section) const;

private:
    QHash<QString, QHash<QString, QString>> m_sections;
};

} // namespace pw::client
