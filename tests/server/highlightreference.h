#pragma once

// The change and keyword scans written the plain way: the markup is inserted into the
// text itself, the scan index moves over the grown text, and the lower-cased copy used for
// comparisons receives the same insertions. Slow (every insertion moves the rest of the
// text), but easy to check against the rules line by line; the real scans must give the
// same bytes. Case folding here is ASCII only.

#include "server/engine/highlighttags.h"

#include <QByteArray>
#include <QList>

namespace reference {

inline QByteArray frameStart(const QByteArray &colour)
{
    return "<table bgcolor=\"" + colour + "\" border=\"3\"><tr><td>";
}
inline const QByteArray kFrameEnd = "</td></table>";
inline QByteArray keywordStart(const QByteArray &colour)
{
    return "<font color=\"" + colour + "\"><b>";
}
inline const QByteArray kKeywordEnd = "</b></font>";

inline QList<QByteArray> splitblocks(const QByteArray &text, bool emptyBlocks)
{
    QList<QByteArray> blocks;
    bool inTag = false;
    bool inComment = false;
    QByteArray tagText;
    QByteArray block;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '<') {
            inTag = true;
        } else if (c == '>') {
            inTag = false;
            const QByteArray t = tagText.trimmed().toLower();
            if (pw::server::isBlockTag(t) || inComment) {
                if (t.startsWith("!--") || inComment) {
                    inComment = true;
                    if (i >= 2 && text.mid(i - 2, 2) == "--")
                        inComment = false;
                } else {
                    if (!block.isEmpty())
                        blocks.append(block.trimmed());
                    else if (emptyBlocks)
                        blocks.append("*nada*");
                    block.clear();
                }
            }
            tagText.clear();
        } else if (inTag) {
            tagText.append(c);
        } else if (!inComment) {
            block.append(c);
        }
    }
    if (!block.isEmpty())
        blocks.append(block);
    return blocks;
}

inline QByteArray wrapchanges(QByteArray text, const QByteArray &flags, const QByteArray &colour)
{
    const auto changed = [&flags](qsizetype k) { return k < flags.size() && flags[k] == '1'; };
    const QByteArray start = frameStart(colour);
    bool inTag = false, inComment = false, tableOpen = false, merge = false;
    QByteArray tagText;
    qsizetype tagStart = -1;
    qsizetype flag = 1;
    bool endedByMarker = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '<') {
            inTag = true;
            tagStart = i;
        } else if (c == '>') {
            inTag = false;
            const QByteArray t = tagText.trimmed().toLower();
            tagText.clear();
            if (t == "/eof") {
                if (tableOpen)
                    text.insert(tagStart, kFrameEnd);
                endedByMarker = true;
                break;
            }
            if (pw::server::isBlockTag(t) || inComment) {
                if (t.startsWith("!--") || inComment) {
                    inComment = true;
                    if (i >= 2 && text.mid(i - 2, 2) == "--")
                        inComment = false;
                } else {
                    if (tableOpen && !merge) {
                        text.insert(tagStart, kFrameEnd);
                        i += kFrameEnd.size();
                        tableOpen = false;
                    }
                    if (changed(flag) && !merge) {
                        text.insert(i + 1, start);
                        i += start.size();
                        tableOpen = true;
                        merge = changed(flag + 1) && t != "li";
                    }
                    ++flag;
                    if (!changed(flag))
                        merge = false;
                }
            }
        } else if (inTag) {
            tagText.append(c);
        }
    }
    if (tableOpen && !endedByMarker)
        text.append(kFrameEnd);
    return text;
}

inline QByteArray markkeywords(QByteArray text, const QList<QByteArray> &keywords, bool wholeWord, bool matchCase,
                               const QByteArray &colour)
{
    const QByteArray start = keywordStart(colour);
    for (const QByteArray &keyword : keywords) {
        if (keyword.isEmpty() || keyword.contains('<'))
            continue;
        const QByteArray k = matchCase ? keyword : keyword.toLower();
        QByteArray low = matchCase ? text : text.toLower();
        const auto insert = [&](qsizetype at, const QByteArray &markup) {
            text.insert(at, markup);
            low.insert(at, markup);
        };
        bool inTag = false;
        qsizetype i = 0;
        while (i < text.size() - 1) {
            const char c = low[i];
            if (c == '<')
                inTag = true;
            else if (c == '>')
                inTag = false;
            if (!inTag) {
                if (!wholeWord) {
                    if (low.mid(i, k.size()) == k) {
                        insert(i, start);
                        insert(i + start.size() + k.size(), kKeywordEnd);
                        i += start.size() + k.size() + kKeywordEnd.size();
                        continue;
                    }
                } else {
                    const qsizetype after = i + 1 + k.size();
                    if ((c == ' ' || c == '>') && low.mid(i + 1, k.size()) == k && after < low.size()
                        && (low[after] == ' ' || low[after] == '<')) {
                        insert(i + 1, start);
                        insert(after + start.size(), kKeywordEnd);
                        i = after + start.size() + kKeywordEnd.size() + 2;
                        continue;
                    }
                    const qsizetype afterNbsp = i + 6 + k.size();
                    if (low.mid(i, 6) == "&nbsp;" && low.mid(i + 6, k.size()) == k && afterNbsp < low.size()
                        && low[afterNbsp] == ' ') {
                        insert(i + 6, start);
                        insert(afterNbsp + start.size(), kKeywordEnd);
                        i = afterNbsp + start.size() + kKeywordEnd.size() + 7;
                        continue;
                    }
                }
            }
            ++i;
        }
    }
    return text;
}

} // namespace reference
