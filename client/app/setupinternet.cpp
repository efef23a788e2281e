#include "setupinternet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

QLineEdit *addField(QGridLayout *grid, QWidget *parent, int row, const QString &label, const QString &name,
                    const QString &unit = {})
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    auto *caption = new QLabel(label, parent);
    caption->setBuddy(edit);
    grid->addWidget(caption, row, 0);
    grid->addWidget(edit, row, 1);
    if (!unit.isEmpty())
        grid->addWidget(new QLabel(unit, parent), row, 2);
    return edit;
}

} // namespace

InternetPage::InternetPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"internetpage"_s);
    auto *layout = new QVBoxLayout(this);

    auto *proxy = new QGroupBox(u"Proxy"_s, this);
    auto *proxyLayout = new QVBoxLayout(proxy);
    m_useproxy = new QCheckBox(u"Use Proxy Server"_s, proxy);
    m_useproxy->setObjectName(u"useproxy"_s);
    proxyLayout->addWidget(m_useproxy);
    m_proxyFields = new QWidget(proxy);
    auto *proxyGrid = new QGridLayout(m_proxyFields);
    proxyGrid->setContentsMargins(0, 0, 0, 0);
    m_proxyserver = addField(proxyGrid, m_proxyFields, 0, u"Proxy Server:"_s, u"proxyserver"_s);
    m_proxyport = addField(proxyGrid, m_proxyFields, 1, u"Proxy Port:"_s, u"proxyport"_s);
    m_proxyuser = addField(proxyGrid, m_proxyFields, 2, u"Proxy User:"_s, u"proxyuser"_s);
    m_proxypass = addField(proxyGrid, m_proxyFields, 3, u"Proxy Password:"_s, u"proxypass"_s);
    m_proxypass->setEchoMode(QLineEdit::Password);
    proxyLayout->addWidget(m_proxyFields);
    layout->addWidget(proxy);

    auto *http = new QGroupBox(u"HTTP"_s, this);
    auto *grid = new QGridLayout(http);
    m_useragent = addField(grid, http, 0, u"User Agent:"_s, u"useragent"_s);
    m_agents = new QComboBox(http);
    m_agents->setObjectName(u"agentlist"_s);
    m_agents->setPlaceholderText(u"Select An Agent"_s);
    m_agents->addItems(
        {u"Pagewarden 1.0"_s, u"Mozilla/4.51 [en] (Win95; I)"_s, u"Mozilla/4.0 (compatible; MSIE 4.0; Windows 95)"_s});
    m_agents->setCurrentIndex(-1);
    grid->addWidget(m_agents, 1, 1);
    m_httptimeout = addField(grid, http, 2, u"HTTP Timeout:"_s, u"httptimeout"_s, u"seconds"_s);
    m_slowtimeout = addField(grid, http, 3, u"Slow Timeout:"_s, u"slowtimeout"_s, u"seconds"_s);
    m_bytethresh = addField(grid, http, 4, u"Byte Threshold:"_s, u"bytethresh"_s, u"bytes"_s);
    m_sizeprot = addField(grid, http, 5, u"Size Protection:"_s, u"sizeprot"_s, u"percent"_s);
    grid->setColumnStretch(1, 1);
    layout->addWidget(http);
    layout->addStretch();

    connect(m_useproxy, &QCheckBox::clicked, this, &InternetPage::applyCouplings);
    connect(m_agents, &QComboBox::activated, this,
            [this](int index) { m_useragent->setText(m_agents->itemText(index)); });
}

void InternetPage::load(const Settings &s)
{
    m_useproxy->setChecked(s.useproxy);
    m_proxyserver->setText(s.proxyserver);
    m_proxyport->setText(s.proxyport);
    m_proxyuser->setText(s.proxyuser);
    m_proxypass->setText(s.proxypass);
    m_useragent->setText(s.useragent);
    m_agents->setCurrentIndex(-1);
    m_httptimeout->setText(s.httptimeout);
    m_slowtimeout->setText(s.slowtimeout);
    m_bytethresh->setText(s.bytethresh);
    m_sizeprot->setText(s.sizeprot);
    applyCouplings();
}

void InternetPage::store(Settings &s) const
{
    s.useproxy = m_useproxy->isChecked();
    s.proxyserver = m_proxyserver->text();
    s.proxyport = m_proxyport->text();
    s.proxyuser = m_proxyuser->text();
    s.proxypass = m_proxypass->text();
    s.useragent = m_useragent->text();
    s.httptimeout = m_httptimeout->text();
    s.slowtimeout = m_slowtimeout->text();
    s.bytethresh = m_bytethresh->text();
    s.sizeprot = m_sizeprot->text();
}

void InternetPage::applyCouplings()
{
    m_proxyFields->setEnabled(m_useproxy->isChecked());
}

} // namespace pw::client
