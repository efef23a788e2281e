#pragma once

#include "runhooks.h"

namespace pw::server {

// Marks an accepted page file: with job.highlighting, frames what changed against the
// stored copy and makes the stored copy the new page's text; with job.keywording, sets
// the keywords in bold colour (after the framing when both are asked). Shows its progress
// through job.status and stops between steps once job.stopRequest is set. A stored copy
// without lines is logged as "Highlighter Corruption Error (2)" and leaves the page as it
// is. Fits RunEngine::setHighlighter.
void highlightpage(const HighlightJob &job);

} // namespace pw::server
