#pragma once

#include <QTextBrowser>

namespace pw::client {

// The tutorial's page display: pages and pictures come from the tutorial folder only;
// anything else (other folders, the network) gives nothing.
class TutorialBrowser final : public QTextBrowser
{
    Q_OBJECT

public:
    explicit TutorialBrowser(QWidget *parent = nullptr);

    void setFolder(const QString &folder);
    QVariant loadResource(int type, const QUrl &name) override;

    // Largest file the display reads.
    static constexpr qint64 kMaxBytes = 8 * 1024 * 1024;

private:
    QString m_folder; // canonical, with a trailing "/"
};

} // namespace pw::client
