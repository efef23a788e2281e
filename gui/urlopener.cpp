#include "urlopener.h"

#include <QDesktopServices>

namespace pw::gui {

namespace {

bool recording = false;
QList<QUrl> openedUrls;

} // namespace

bool UrlOpener::open(const QUrl &url)
{
    if (recording) {
        openedUrls.append(url);
        return url.isValid();
    }
    return QDesktopServices::openUrl(url);
}

void UrlOpener::setRecording(bool on)
{
    recording = on;
}

const QList<QUrl> &UrlOpener::opened()
{
    return openedUrls;
}

void UrlOpener::clearOpened()
{
    openedUrls.clear();
}

} // namespace pw::gui
