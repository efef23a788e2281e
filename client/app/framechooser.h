#pragma once

#include <QDialog>

class QListWidget;

namespace pw::client {

// `Tselurlform`: offers the frames of a framed page so that one of them is watched
// instead. Shown without waiting; freed when it closes.
class Tselurlform final : public QDialog
{
    Q_OBJECT

public:
    Tselurlform(const QStringList &frameUrls, QWidget *parent = nullptr);

    void okbtnClick();
    QListWidget *list() const { return m_list; }

Q_SIGNALS:
    void chosen(const QString &url);

private:
    QListWidget *m_list;
};

} // namespace pw::client
