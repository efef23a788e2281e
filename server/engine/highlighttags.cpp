#include "highlighttags.h"

#include <array>

namespace pw::server {

namespace {

constexpr std::array<QByteArrayView, 8> kEqual = {"br", "p", "li", "/th", "/ul", "/ol", "/dl", "/p"};
constexpr std::array<QByteArrayView, 22> kPrefixes = {
    "table", "/table", "td",    "/td", "tr", "/tr", "form", "/form", "blockquote", "/blockquote", "div",
    "/div",  "body",   "/body", "!--", "h",  "/h",  "th",   "ul",    "ol",         "dl",          "br clear"};

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

} // namespace

bool isBlockTag(QByteArrayView tag)
{
    for (QByteArrayView equal : kEqual) {
        if (tag == equal)
            return true;
    }
    if (tag.contains("p align"))
        return true;
    for (QByteArrayView prefix : kPrefixes) {
        if (tag.startsWith(prefix))
            return true;
    }
    return false;
}

void TagReader::addToTag(QByteArrayView bytes)
{
    if (m_stale) {
        m_text.clear();
        m_stale = false;
    }
    for (char c : bytes)
        m_text.push_back(asciiLower(c));
}

QByteArrayView TagReader::close()
{
    if (m_stale)
        m_text.clear();
    m_inTag = false;
    m_stale = true;
    m_tag = QByteArrayView(m_text.data(), qsizetype(m_text.size())).trimmed();
    return m_tag;
}

TagReader::Kind TagReader::classify(const char *data, qsizetype at)
{
    if (!m_inComment && !isBlockTag(m_tag))
        return Kind::Other;
    if (m_inComment || m_tag.startsWith("!--")) {
        m_inComment = true;
        if (at >= 2 && data[at - 2] == '-' && data[at - 1] == '-')
            m_inComment = false;
        return Kind::Comment;
    }
    return Kind::Block;
}

} // namespace pw::server
