#pragma once

#include <QString>
#include <QStringList>

namespace pw::client {

// The checks of a name typed for a URL List, in their order. Empty when the name may be
// used; otherwise the message to show. `nodeTexts` are the tree's node texts other than
// the root: folders and URL Lists alike.
QString listNameError(const QString &name, const QStringList &nodeTexts);

} // namespace pw::client
