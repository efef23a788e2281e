#include "dialup.h"

namespace pw {

QStringList EmptyPhoneBook::entries(QString *error) const
{
    if (error)
        error->clear();
    return {};
}

} // namespace pw
