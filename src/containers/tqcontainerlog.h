/// @file
/// Logging of the container templates: one message with the context "Template<Arg>::Member".
#pragma once

#include <cstdio>
#include <cstring>

#include "base/tqlog.h"

/// Writes "Template<Arg>::Member" into buffer, with a blank between two closing brackets
/// ("TQAVLTreeTmpl<class TQListElementTmpl<class TQ2DParticle> >::Insert").
inline void TQFormatMemberName(char* buffer, size_t size, const char* templateName, const char* argument,
                               const char* member) noexcept {
    size_t length = std::strlen(argument);
    bool nested = length && argument[length - 1] == '>';
    std::snprintf(buffer, size, "%s<%s%s>::%s", templateName, argument, nested ? " " : "", member);
}

/// Sets the context and logs one message. Never throws: it runs inside the containers' handlers,
/// often while memory is short.
template <class... Args>
void TQContainerLog(TQLog& log, const char* file, const char* templateName, const char* argument,
                    const char* member, int line, const char* format, Args... args) noexcept {
    try {
        char function[512];
        TQFormatMemberName(function, sizeof function, templateName, argument, member);
        log.SetLogInfo(file, function, line);
        if constexpr (sizeof...(Args) == 0)
            log.Log("%s", format);
        else
            log.Log(format, args...);
    } catch (...) {
    }
}
