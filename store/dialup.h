#pragma once

#include <QString>
#include <QStringList>

namespace pw {

// The system's dial-up phone book: the named connections a run may dial before it
// starts. Settings load lists it to resolve the chosen entry.
class PhoneBook
{
public:
    virtual ~PhoneBook() = default;
    // The entry names in the book's order; on failure nothing, with `error` set.
    virtual QStringList entries(QString *error = nullptr) const = 0;
};

// A phone book with no entries: what a machine without dial-up support has.
class EmptyPhoneBook final : public PhoneBook
{
public:
    QStringList entries(QString *error = nullptr) const override;
};

} // namespace pw
