#pragma once

#include "store/settings.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace pw::client {

// The Setup dialog's "Internet " page: the proxy, the user agent and the HTTP limits.
class InternetPage final : public QWidget
{
    Q_OBJECT

public:
    explicit InternetPage(QWidget *parent = nullptr);

    void load(const Settings &s);
    void store(Settings &s) const;

private:
    void applyCouplings();

    QCheckBox *m_useproxy = nullptr;
    QLineEdit *m_proxyserver = nullptr;
    QLineEdit *m_proxyport = nullptr;
    QLineEdit *m_proxyuser = nullptr;
    QLineEdit *m_proxypass = nullptr;
    QWidget *m_proxyFields = nullptr;
    QLineEdit *m_useragent = nullptr;
    QComboBox *m_agents = nullptr;
    QLineEdit *m_httptimeout = nullptr;
    QLineEdit *m_slowtimeout = nullptr;
    QLineEdit *m_bytethresh = nullptr;
    QLineEdit *m_sizeprot = nullptr;
};

} // namespace pw::client
