#pragma once

#include <QString>

namespace pw::client {

// A text constant as shown.
inline QString qs(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace pw::client

// The client's own texts, shown or written exactly as they stand.
namespace pw::client::text {

inline constexpr char kIdle[] = "Pagewarden Idle.";
inline constexpr char kTransferActive[] = "Pagewarden Data Transfer Active.";

inline constexpr char kServerMissing[] = "The Pagewarden Server could not be found. Please re-install Pagewarden.";
inline constexpr char kNoServerAnswer[] =
    "Unable to connect to the Pagewarden Server. Please check your Pagewarden installation.";
inline constexpr char kMustTerminate[] =
    "Pagewarden must terminate, due to a system error, inability to communicate with the Pagewarden Server, or "
    "low system resources. Please restart.";
inline constexpr char kServerNotAvailable[] = "Action could not be completed. Pagewarden Server is not available.";
inline constexpr char kTransactionError[] =
    "There was a transaction error with the server. This problem has been corrected.";
inline constexpr char kNewRetrievals[] = "New URLs have been retrieved since your last Pagewarden session.";
inline constexpr char kBrowserError[] = "An error occured while trying to open your web browser.";
inline constexpr char kLogAccessError[] =
    "There was an error while trying to access your log file. Reset Pagewarden and try again.";
inline constexpr char kNoLogEntries[] = "There are no log entries to display.";
inline constexpr char kLoadingLogs[] = "Loading Logs...";

// The maker's home page: the product has no site of its own yet.
inline constexpr char kHomePage[] = "https://example.org/";

} // namespace pw::client::text
