#include "welcomesplash.h"

#include "clientapp.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

QPixmap picture()
{
    QPixmap pixmap(399, 244);
    pixmap.fill(QColor(0xf4, 0xf6, 0xf8));
    QPainter painter(&pixmap);
    painter.setPen(QPen(QColor(0x2b, 0x4a, 0x6f), 2));
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    painter.drawPixmap(28, 66, applicationIcon().pixmap(112, 112));
    QFont title = painter.font();
    title.setPointSize(24);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRect(160, 70, 230, 44), Qt::AlignLeft | Qt::AlignVCenter, u"Pagewarden"_s);
    QFont small = painter.font();
    small.setPointSize(11);
    small.setBold(false);
    painter.setFont(small);
    painter.setPen(Qt::darkGray);
    painter.drawText(QRect(160, 118, 230, 24), Qt::AlignLeft | Qt::AlignVCenter, u"Version 1.1"_s);
    painter.drawText(QRect(160, 144, 230, 24), Qt::AlignLeft | Qt::AlignVCenter, u"Web-page change monitor"_s);
    return pixmap;
}

} // namespace

WelcomeSplash::WelcomeSplash()
    : QSplashScreen(picture(), Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(u"splash"_s);
    setFixedSize(399, 244);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    QTimer::singleShot(kShowMs, this, &QWidget::hide);
}

void WelcomeSplash::showNow()
{
    show();
    repaint();
    QCoreApplication::processEvents();
}

} // namespace pw::client
