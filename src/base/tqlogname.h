/// @file
/// The form of a name in a log line: a name of any length gives a line of bounded length.
#pragma once

#include <string>

/// name (GBK) as a log line shows it: whole when it is at most 160 bytes, else its first and last
/// bytes (whole characters) around "...(N bytes)...". NULL reads as empty.
std::string TQLogShortName(const char* name);

/// A path of the file system (UTF-8) as a log line shows it: in the engine's text (GBK), shortened
/// as TQLogShortName does.
std::string TQLogShortSystemPath(const std::string& utf8Path);

/// Why a name a pack holds was not read: "a name read from a pack reaches only the packs and the
/// game's folders, not <path>" (the path refused, UTF-8, shown as TQLogShortSystemPath does).
std::string TQLogPackNameRefusal(const std::string& utf8Path);
