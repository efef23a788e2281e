#include "aboutbox.h"

#include "clientapp.h"

#include "client/core/clientmessages.h"
#include "gui/prompt.h"
#include "gui/urlopener.h"
#include "gui/waitcursor.h"

#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

Taboutbox::Taboutbox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(u"aboutbox"_s);
    setWindowTitle(u"About"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);

    auto *picture = new QLabel(this);
    picture->setPixmap(applicationIcon().pixmap(64, 64));
    auto *name = new QLabel(u"Pagewarden"_s, this);
    QFont big = name->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    name->setFont(big);
    auto *version = new QLabel(u"Version 1.1"_s, this);
    version->setObjectName(u"version"_s);
    auto *notices = new QLabel(u"Watches web pages for you and keeps what changed in your WebBoxes.\n"
                               "Copyright \u00A9 Norvane Software. All rights reserved.\n"
                               "Pagewarden uses the Qt toolkit (LGPL 3) and libcurl."_s,
                               this);
    notices->setObjectName(u"notices"_s);
    auto *visit = new QLabel(u"Visit Norvane Software:"_s, this);
    auto *link = new QPushButton(QString::fromUtf8(text::kHomePage), this);
    link->setObjectName(u"homelink"_s);
    link->setFlat(true);
    link->setCursor(Qt::PointingHandCursor);
    link->setStyleSheet(u"QPushButton { color: #1a4fb3; text-decoration: underline; border: none; }"_s);
    link->setAutoDefault(false);
    connect(link, &QPushButton::clicked, this, &Taboutbox::openHomePage);
    auto *close = new QPushButton(u"Close"_s, this);
    close->setObjectName(u"closebtn"_s);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(notices);
    auto *top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto *visitRow = new QHBoxLayout;
    visitRow->addWidget(visit);
    visitRow->addWidget(link);
    visitRow->addStretch();
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(visitRow);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void Taboutbox::openHomePage()
{
    gui::WaitCursor wait;
    if (!gui::UrlOpener::open(QUrl(QString::fromUtf8(text::kHomePage))))
        gui::Prompt::error(this, QString::fromUtf8(text::kBrowserError));
}

} // namespace pw::client
