#pragma once

#include <QFontMetrics>
#include <QString>

namespace pw::server {

inline constexpr int kCaptionWidth = 475;

// Cuts the text from the end until it is no wider than `width` pixels, then appends
// "..." when anything was cut.
QString fitCaption(const QString &text, const QFontMetrics &metrics, int width = kCaptionWidth);

} // namespace pw::server
