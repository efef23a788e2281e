#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace pwtest {

// The text of a PDF as Qt's PDF writer makes it, page by page: every text object (BT ... ET)
// becomes one run of characters, taken through each font's ToUnicode map. Qt draws each
// glyph on its own and moves over blanks without drawing them, so the runs hold no blanks.
// Enough to check what a printout says without a PDF library.
class PdfText
{
public:
    explicit PdfText(const QByteArray &pdf)
    {
        readObjects(pdf);
        readFonts();
        readPages();
    }

    int pageCount() const { return int(m_pages.size()); }
    // A page's paper in points, from its MediaBox.
    QSizeF paperSize(int page) const { return m_paper.value(page); }
    // The runs of one page, in the order they were drawn.
    QStringList runs(int page) const { return m_pages.value(page); }
    // Every run of every page, joined; a ligature ("ff" drawn as one glyph) stays one
    // character.
    QString text() const
    {
        QString all;
        for (const QStringList &page : m_pages)
            all += page.join(QString());
        return all;
    }

    // A text as the runs can show it: without blanks, ligatures as their letters.
    static QString withoutBlanks(const QString &text)
    {
        QString letters = text.normalized(QString::NormalizationForm_KC);
        letters.remove(QRegularExpression(QStringLiteral("\\s")));
        return letters;
    }

private:
    struct Object
    {
        QByteArray dictionary;
        QByteArray stream; // inflated
    };

    static QByteArray inflate(const QByteArray &raw)
    {
        // qUncompress wants the expected size in front; it grows its buffer as needed.
        QByteArray framed(4, '\0');
        framed[1] = '\x01';
        framed += raw;
        return qUncompress(framed);
    }

    void readObjects(const QByteArray &pdf)
    {
        qsizetype at = 0;
        while (true) {
            const qsizetype found = pdf.indexOf(" 0 obj", at);
            if (found < 0)
                break;
            qsizetype start = found;
            while (start > 0 && pdf.at(start - 1) >= '0' && pdf.at(start - 1) <= '9')
                --start;
            const int number = pdf.mid(start, found - start).toInt();
            const qsizetype end = pdf.indexOf("endobj", found);
            if (end < 0)
                break;
            const QByteArray body = pdf.mid(found + 6, end - found - 6);
            Object object;
            const qsizetype streamAt = body.indexOf("stream");
            if (streamAt >= 0) {
                object.dictionary = body.left(streamAt);
                qsizetype data = streamAt + 6;
                if (body.at(data) == '\r')
                    ++data;
                if (body.at(data) == '\n')
                    ++data;
                const qsizetype dataEnd = body.lastIndexOf("endstream");
                QByteArray raw = body.mid(data, dataEnd - data);
                object.stream = object.dictionary.contains("/FlateDecode") ? inflate(raw) : raw;
            } else {
                object.dictionary = body;
            }
            m_objects.insert(number, object);
            at = end + 6;
        }
    }

    static int reference(const QByteArray &dictionary, const QByteArray &key)
    {
        const QRegularExpression pattern(QRegularExpression::escape(QString::fromLatin1(key))
                                         + QStringLiteral("\\s+(\\d+)\\s+0\\s+R"));
        const auto match = pattern.match(QString::fromLatin1(dictionary));
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    }

    void readFonts()
    {
        static const QRegularExpression fontRef(QStringLiteral("/(F\\d+)\\s+(\\d+)\\s+0\\s+R"));
        static const QRegularExpression range(
            QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>"));
        static const QRegularExpression rangeList(
            QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>\\s*\\[([^\\]]*)\\]"));
        static const QRegularExpression single(QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>"));
        static const QRegularExpression hexString(QStringLiteral("<([0-9A-Fa-f]+)>"));
        for (const Object &object : std::as_const(m_objects)) {
            auto refs = fontRef.globalMatch(QString::fromLatin1(object.dictionary));
            while (refs.hasNext()) {
                const auto ref = refs.next();
                const int fontObject = ref.captured(2).toInt();
                const int toUnicode = reference(m_objects.value(fontObject).dictionary, "/ToUnicode");
                if (toUnicode < 0)
                    continue;
                QHash<uint, QString> map;
                const QString cmap = QString::fromLatin1(m_objects.value(toUnicode).stream);
                for (const QString &section : cmap.split(QStringLiteral("beginbf"))) {
                    const bool isRange = section.startsWith(QStringLiteral("range"));
                    QString body = section.section(QStringLiteral("endbf"), 0, 0);
                    if (isRange) {
                        // A range may map to a list of targets, one per code.
                        auto lists = rangeList.globalMatch(body);
                        while (lists.hasNext()) {
                            const auto list = lists.next();
                            uint code = list.captured(1).toUInt(nullptr, 16);
                            auto targets = hexString.globalMatch(list.captured(3));
                            while (targets.hasNext())
                                map.insert(code++, unicodeOf(targets.next().captured(1), 0));
                        }
                        body.remove(rangeList);
                    }
                    auto entries = (isRange ? range : single).globalMatch(body);
                    while (entries.hasNext()) {
                        const auto e = entries.next();
                        const uint from = e.captured(1).toUInt(nullptr, 16);
                        const uint to = isRange ? e.captured(2).toUInt(nullptr, 16) : from;
                        const QString target = e.captured(isRange ? 3 : 2);
                        for (uint code = from; code <= to && code - from < 65536; ++code)
                            map.insert(code, unicodeOf(target, code - from));
                    }
                }
                m_fonts.insert(ref.captured(1), map);
            }
        }
    }

    static QString unicodeOf(const QString &hex, uint offset)
    {
        QList<char16_t> units;
        for (qsizetype i = 0; i + 4 <= hex.size(); i += 4)
            units.append(char16_t(hex.mid(i, 4).toUInt(nullptr, 16)));
        if (!units.isEmpty())
            units.last() = char16_t(units.last() + offset);
        return QString(reinterpret_cast<const QChar *>(units.constData()), units.size());
    }

    void readPages()
    {
        // The page tree's kids, in order.
        for (const Object &object : std::as_const(m_objects)) {
            if (!object.dictionary.contains("/Type /Pages"))
                continue;
            static const QRegularExpression kids(QStringLiteral("/Kids\\s*\\[([^\\]]*)\\]"));
            const auto match = kids.match(QString::fromLatin1(object.dictionary));
            static const QRegularExpression ref(QStringLiteral("(\\d+)\\s+0\\s+R"));
            auto refs = ref.globalMatch(match.captured(1));
            static const QRegularExpression mediaBox(
                QStringLiteral("/MediaBox\\s*\\[\\s*[-\\d.]+\\s+[-\\d.]+\\s+([-\\d.]+)\\s+([-\\d.]+)"));
            while (refs.hasNext()) {
                const Object &page = m_objects.value(refs.next().captured(1).toInt());
                m_pages.append(pageRuns(page));
                const auto box = mediaBox.match(QString::fromLatin1(page.dictionary));
                m_paper.append(QSizeF(box.captured(1).toDouble(), box.captured(2).toDouble()));
            }
        }
    }

    QStringList pageRuns(const Object &page) const
    {
        const QString content = QString::fromLatin1(m_objects.value(reference(page.dictionary, "/Contents")).stream);
        static const QRegularExpression token(
            QStringLiteral("(BT)|(ET)|/(F\\d+)\\s+[-\\d.]+\\s+Tf|<([0-9A-Fa-f]*)>\\s*Tj"));
        QStringList runs;
        QString run;
        QHash<uint, QString> font;
        auto tokens = token.globalMatch(content);
        while (tokens.hasNext()) {
            const auto t = tokens.next();
            if (!t.captured(1).isEmpty()) {
                run.clear();
            } else if (!t.captured(2).isEmpty()) {
                if (!run.isEmpty())
                    runs.append(run);
                run.clear();
            } else if (!t.captured(3).isEmpty()) {
                font = m_fonts.value(t.captured(3));
            } else {
                const QString hex = t.captured(4);
                for (qsizetype i = 0; i + 4 <= hex.size(); i += 4)
                    run += font.value(hex.mid(i, 4).toUInt(nullptr, 16), QStringLiteral("?"));
            }
        }
        return runs;
    }

    QHash<int, Object> m_objects;
    QHash<QString, QHash<uint, QString>> m_fonts;
    QList<QStringList> m_pages;
    QList<QSizeF> m_paper;
};

} // namespace pwtest
