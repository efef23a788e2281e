#pragma once

// The texts of the Setup dialog, the reports window and the log window, shown exactly as
// they stand.
namespace pw::client::text {

// Saving the Setup dialog.
inline constexpr char kDunNoEntry[] = "You must select a dial-up networking entry to use by clicking its name.";
inline constexpr char kDunNoCredentials[] = "You must enter both a password and username for dial-up networking.";
inline constexpr char kDunNoRetries[] = "You must enter a value for number of retries.";
inline constexpr char kDunBadRetries[] = "You have entered an invalid value for number of retries.";
inline constexpr char kNoSmtpServer[] = "You must enter an SMTP server for E-mail Reports.";
inline constexpr char kNoFromAddress[] = "You must enter an originating address for E-mail Reports.";
inline constexpr char kBadFromAddress[] = "You must enter a valid \"from\" address.";
inline constexpr char kNoReceiptAddress[] = "You must enter a receipt address for E-mail Reports.";
inline constexpr char kBadReceiptAddress[] = "You must enter a valid \"receipt\" address.";
inline constexpr char kBadProxyPort[] = "You have entered an invalid proxy port.";
inline constexpr char kBadProxyServer[] = "You must enter a valid proxy server.";
inline constexpr char kBadHttpTimeout[] = "You must enter a valid HTTP Timeout value.";
inline constexpr char kBadSlowTimeout[] = "You must enter a valid Slow Timeout value.";
inline constexpr char kBadByteThreshold[] = "You must enter a valid Byte Threshold value.";
inline constexpr char kBadSizeProtection[] = "You must enter a valid Size Protection value.";
inline constexpr char kSizeProtectionRange[] =
    "You must enter a valid Size Protection value, between 1 and 100 percent. ";

// The schedule list.
inline constexpr char kNoHourOrMinute[] = "You must specify both an hour and minute to add a schedule entry.";
inline constexpr char kBadMinute[] = "This minute entry is invalid.";
inline constexpr char kNoWebBoxToSchedule[] = "You must specify a WebBox to schedule.";
inline constexpr char kScheduleTwice[] = "You have already added this time and URL List schedule.";
inline constexpr char kNoScheduleSelected[] = "You must first select a scheduled item to delete.";
inline constexpr char kBadInterval[] = "You must enter a valid integer value in the interval field.";
inline constexpr char kIntervalTooLarge[] = "You have specified a value greater than one thousand. Please re-enter.";

// The report list.
inline constexpr char kNoReportListChosen[] = "You must first select a URL List to add.";
inline constexpr char kAllAlreadyReported[] = "All WebBoxes are already being monitored.";
inline constexpr char kAlreadyReportedBefore[] = "URL List \"";
inline constexpr char kAlreadyReportedAfter[] = "\" is already being reported.";
inline constexpr char kClearForAll[] = "Some WebBoxes are already being reported. By selecting all WebBoxes, these "
                                       "specific entries will be cleared. Press OK to continue.";
inline constexpr char kNoReportItemSelected[] = "You must first select an item to delete.";

// Web Shortcuts.
inline constexpr char kShortcutLimit[] = "You have already added the maximum number of shortcuts.";
inline constexpr char kShortcutNoUrl[] = "You must first enter a URL in the URL field.";
inline constexpr char kShortcutBadUrlAdd[] = "You have illegal characters in the URL field.";
inline constexpr char kShortcutBadUrlModify[] = "You have illegal characters in the URL field. Please re-enter.";
inline constexpr char kShortcutNoDescription[] = "You must first enter a name in the description field.";
inline constexpr char kShortcutBadDescription[] =
    "You have illegal characters in the description field. Please re-enter.";
inline constexpr char kShortcutDescriptionUsed[] = "You have already entered a URL with this description.";
inline constexpr char kShortcutNoneToDelete[] = "You must first select a URL Shortcut to delete.";
inline constexpr char kShortcutNoneToModify[] = "You must first select a URL Shortcut to modify.";
inline constexpr char kShortcutNothingToReorder[] = "There are no Web Shortcuts to reorder.";
inline constexpr char kShortcutNoneToMove[] = "You must first select a Web Shortcut to move.";

// The sound file chooser; the wording is ours.
inline constexpr char kSoundFileMissing[] = "The sound file you selected does not exist. Please choose another file.";

// The reports window and the print window.
inline constexpr char kNoReportToOpen[] = "You must first select a report to open.";
inline constexpr char kReportsIndexError[] = "There was an error while loading the Reports Index.";
inline constexpr char kReportsIndexCorrupted[] =
    "There has been an error while trying to load reports. The Reports Index may be corrupted.";
inline constexpr char kReportBuildError[] =
    "An error occurred while trying to generate your report. The default printer may not be installed.";
inline constexpr char kNoReportToDelete[] = "You must first select a report to delete.";
inline constexpr char kDeleteReports[] = "Are you sure you wish to delete the selected report(s) ?";
inline constexpr char kNoMorePages[] = "There are no more pages in this direction.";
inline constexpr char kNothingToPrint[] = "No document information is available for printing.";
inline constexpr char kPrintingCanceled[] = "Printing has been canceled.";
inline constexpr char kReportTitle[] = "Pagewarden Retrieval Report";
// Our wording: the index could not be rewritten after a delete.
inline constexpr char kReportsIndexWriteError[] =
    "The Reports Index could not be written. The reports you deleted may show again.";

// The log window.
inline constexpr char kNoLogEntrySelected[] = "You must first select an entry to delete.";
inline constexpr char kDeletionComplete[] = "Deletion complete.";

} // namespace pw::client::text
