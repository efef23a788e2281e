#pragma once

#include "store/linkframing.h"

namespace pw::client {

// Where the server's update blocks go: the windows that show WebBoxes, reports and the
// URL List being edited. The main window holds one of each once that window exists;
// until then a block is taken off the link and dropped.

class InboxUpdateTarget
{
public:
    virtual ~InboxUpdateTarget() = default;
    // `processlist`: a new WebBox row for the open window of its URL List, if any.
    virtual void processlist(const link::InboxUpdate &update) = 0;
};

class ReportUpdateTarget
{
public:
    virtual ~ReportUpdateTarget() = default;
    virtual bool isShowing() const = 0;
    // `processreport`: false when the row could not be added.
    virtual bool processreport(const link::ReportUpdate &update) = 0;
};

class EditUpdateTarget
{
public:
    virtual ~EditUpdateTarget() = default;
    // `processeditlist`: false when the editor could not take the values.
    virtual bool processeditlist(const link::EditUpdate &update) = 0;
};

} // namespace pw::client
