#include "clientapp.h"

#include "mainwindow.h"

#include "client/core/clientmessages.h"
#include "gui/prompt.h"

#include <QApplication>
#include <QPainter>
#include <QSplashScreen>

#include <exception>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

QPixmap drawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 64.0;
    // A page with a folded corner, a framed block and a bold mark: what the program does.
    painter.setPen(QPen(QColor(0x2b, 0x4a, 0x6f), 2 * s));
    painter.setBrush(Qt::white);
    const QPointF page[] = {{12 * s, 4 * s}, {42 * s, 4 * s}, {54 * s, 16 * s}, {54 * s, 60 * s}, {12 * s, 60 * s}};
    painter.drawPolygon(page, 5);
    painter.setPen(QPen(QColor(0x9a, 0xa5, 0xb1), 3 * s));
    for (int y : {16, 24, 48})
        painter.drawLine(QPointF(18 * s, y * s), QPointF(46 * s, y * s));
    painter.setPen(QPen(QColor(0xd9, 0x3b, 0x2b), 2.5 * s));
    painter.setBrush(QColor(0xff, 0xf2, 0x9e));
    painter.drawRect(QRectF(16 * s, 30 * s, 34 * s, 12 * s));
    return pixmap;
}

QPixmap splashPixmap()
{
    QPixmap pixmap(380, 190);
    pixmap.fill(QColor(0xf4, 0xf6, 0xf8));
    QPainter painter(&pixmap);
    painter.drawPixmap(24, 40, drawIcon(96));
    QFont title = painter.font();
    title.setPointSize(22);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(QColor(0x2b, 0x4a, 0x6f));
    painter.drawText(QRect(140, 50, 230, 40), Qt::AlignLeft | Qt::AlignVCenter, u"Pagewarden"_s);
    QFont small = painter.font();
    small.setPointSize(10);
    small.setBold(false);
    painter.setFont(small);
    painter.setPen(Qt::darkGray);
    painter.drawText(QRect(140, 95, 230, 24), Qt::AlignLeft | Qt::AlignVCenter, u"Version 1.1"_s);
    painter.drawText(QRect(140, 120, 230, 24), Qt::AlignLeft | Qt::AlignVCenter, u"Web-page change monitor"_s);
    return pixmap;
}

} // namespace

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(drawIcon(size));
    return icon;
}

ClientApp::ClientApp(QObject *parent)
    : QObject(parent)
{
}

ClientApp::~ClientApp() = default;

bool ClientApp::start()
{
    try {
        m_splash = std::make_unique<QSplashScreen>(splashPixmap());
        m_splash->setObjectName(u"splash"_s);
        m_splash->show();
        QCoreApplication::processEvents();

        m_main = std::make_unique<MainWindow>();
        m_main->setWindowIcon(applicationIcon());
        if (!m_main->forminit()) {
            m_splash.reset();
            m_main.reset();
            return false;
        }
        // The splash stays until the window is on screen (finish() waits for that).
        m_main->show();
        m_splash->finish(m_main.get());
        m_splash.reset();
        return true;
    } catch (const std::exception &) {
        m_splash.reset();
        m_main.reset();
        gui::Prompt::error(nullptr, QString::fromUtf8(text::kMustTerminate));
        return false;
    }
}

} // namespace pw::client
