#include "clientapp.h"

#include "mainwindow.h"
#include "welcomesplash.h"

#include "client/core/clientmessages.h"
#include "gui/prompt.h"

#include <QApplication>
#include <QPainter>

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
        m_splash = std::make_unique<WelcomeSplash>();
        m_splash->showNow();

        m_main = std::make_unique<MainWindow>();
        m_main->setWindowIcon(applicationIcon());
        if (!m_main->forminit()) {
            m_splash.reset();
            m_main.reset();
            return false;
        }
        // The start is done: the splash goes now if its two seconds have not passed yet.
        m_splash.reset();
        m_main->show();
        return true;
    } catch (const std::exception &) {
        m_splash.reset();
        m_main.reset();
        gui::Prompt::error(nullptr, QString::fromUtf8(text::kMustTerminate));
        return false;
    }
}

} // namespace pw::client
