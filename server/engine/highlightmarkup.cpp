#include "highlightmarkup.h"

#include <QtGlobal>

namespace pw::server {

QByteArray frameStart(QByteArrayView colour)
{
    return "<table bgcolor=\"" + colour.toByteArray() + "\" border=\"3\"><tr><td>";
}

QByteArray keywordStart(QByteArrayView colour)
{
    return "<font color=\"" + colour.toByteArray() + "\"><b>";
}

MarkedText::MarkedText(const QByteArray &source, MarkupSpans *spans, QByteArray *spare)
    : m_source(source)
    , m_spans(spans)
    , m_spare(spare)
{
}

void MarkedText::insert(qsizetype at, QByteArrayView markup)
{
    Q_ASSERT(at >= m_copied && at <= m_source.size());
    if (!m_started) {
        if (m_spare && m_spare->isDetached()) {
            m_out = std::move(*m_spare);
            m_out.resize(0);
        }
        // Room for the text and a modest amount of markup; appending grows it if needed.
        m_out.reserve(m_source.size() + m_source.size() / 16 + 256);
        m_started = true;
    }
    m_out.append(QByteArrayView(m_source).sliced(m_copied, at - m_copied));
    m_copied = at;
    if (m_spans)
        m_spans->append({m_out.size(), markup.size()});
    m_out.append(markup);
}

QByteArray MarkedText::finish()
{
    if (!m_started)
        return m_source;
    m_out.append(QByteArrayView(m_source).sliced(m_copied));
    m_copied = m_source.size();
    return std::move(m_out);
}

} // namespace pw::server
