#pragma once

#include <QByteArrayView>

#include <string>

namespace pw::server {

// Whether a tag's text, trimmed and lower-cased, is one of the tags that end a block:
// equal to "br", "p", "li", "/th", "/ul", "/ol", "/dl", "/p"; containing "p align"; or
// beginning with "table", "td", "div", "h" or another prefix of the list (plain prefixes:
// "h" also takes "html" and "hr", "th" takes "thead").
bool isBlockTag(QByteArrayView tag);

// The tag state both change scans keep while they read a text: a tag runs
// from "<" to ">", its text being the bytes in between; a tag beginning with "!--" opens
// a comment, which lasts up to a ">" right after "--", across any tags in it.
class TagReader
{
public:
    enum class Kind { Other, Block, Comment };

    bool inTag() const { return m_inTag; }
    bool inComment() const { return m_inComment; }
    // Where the tag last opened: its "<" (the last one, when a tag holds several).
    qsizetype tagStart() const { return m_tagStart; }

    void open(qsizetype at)
    {
        m_inTag = true;
        m_tagStart = at;
    }
    void addToTag(QByteArrayView bytes);
    // At a ">": the tag's text, trimmed and lower-cased. Valid until the next addToTag.
    QByteArrayView close();
    // What the tag just closed means; `at` is the place of its ">" in `data`. Updates the
    // comment state.
    Kind classify(const char *data, qsizetype at);

private:
    std::string m_text;
    QByteArrayView m_tag;
    qsizetype m_tagStart = -1;
    bool m_inTag = false;
    bool m_inComment = false;
    bool m_stale = false; // m_text belongs to a closed tag
};

} // namespace pw::server
