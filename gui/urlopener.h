#pragma once

#include <QList>
#include <QUrl>

namespace pw::gui {

// Hands an address to the desktop's web browser. Tests switch it to recording so no
// browser starts; what would have opened is kept in order.
class UrlOpener
{
public:
    static bool open(const QUrl &url);

    static void setRecording(bool on);
    static const QList<QUrl> &opened();
    static void clearOpened();
};

} // namespace pw::gui
