#pragma once

#include <QString>
#include <QStringList>

namespace pw::client {

// The URL List name the Quick Start gives a library category: accelerator "&" marks
// removed, the blank, the printable punctuation but the apostrophe, comma, hyphen and
// underscore, and control characters turned into "_", then the smallest number 1, 2, ...
// appended while the name is taken (`taken`: the URL List names and the tree's node
// texts, compared without regard to letter case).
QString quickStartName(const QString &category, const QStringList &taken);

} // namespace pw::client
