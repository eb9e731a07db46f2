/// @file
/// The form of a name in a log line: a name of any length gives a line of bounded length.
#pragma once

#include <string>

/// name (GBK) as a log line shows it: whole when it is at most 160 bytes, else its first and last
/// bytes (whole characters) around "...(N bytes)...". NULL reads as empty.
std::string TQLogShortName(const char* name);
