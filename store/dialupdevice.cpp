#include "dialupdevice.h"

namespace pw {

DialUpDevice::DialUpDevice(QObject *parent)
    : QObject(parent)
{
}

} // namespace pw
