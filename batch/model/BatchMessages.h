#pragma once
// How the batch jobs report to the user. A job calls the sink on its worker thread; the
// dialog's sink only posts the text to the user-interface thread, which shows it.

#include <functional>
#include <string>
#include <vector>

namespace batch {

// The icon of the message box: information, none (a plain box), or the error sign.
enum class MessageKind { Information, Plain, Error };

using MessageSink = std::function<void(const std::string& text, MessageKind kind)>;

// "' <path> '\n Was not found, it has been Removed Or Renamed."
std::string NotFoundText(const std::string& path);

// A job's failures shown together once it has ended: the heading that counts them, and
// the list (one failure after another, a blank line between them).
std::string FailureHeading(size_t count);
std::string FailureListText(const std::vector<std::string>& failures);

}  // namespace batch
