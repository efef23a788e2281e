#pragma once

#include <QTextBrowser>

namespace pw::client {

// `HTMLViewer1`: shows one stored page and nothing else. It loads no resource at all
// (images, style sheets, other files), never follows a link itself, and reports the raw
// link text of a click and of the link under the pointer.
class HtmlView final : public QTextBrowser
{
    Q_OBJECT

public:
    explicit HtmlView(QWidget *parent = nullptr);

    // Reads the file and shows it in its own character set; false when it cannot be read.
    bool loadPage(const QString &path);
    QVariant loadResource(int type, const QUrl &name) override;

Q_SIGNALS:
    void linkClicked(const QString &link);
    void linkCovered(const QString &link);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QString m_pressedLink;
    QString m_coveredLink;
};

} // namespace pw::client
