/// @file
/// The name of a container's item type as the containers print it in their log context.
///
/// The containers log the qualified name of the failing member, such as
/// "TQAVLTreeTmpl<class TQ2DGlobalMusic>::Insert". TQTypeName<T>::Get() gives the part between the
/// angle brackets. By default it is taken from the demangled type name: "class " in front for class
/// types ("class TQ2DParticle"), the bare name otherwise ("float"). A type declared as a struct, or
/// one whose name must read differently, declares its own spelling at global scope, right after
/// its definition (before any container of it is used):
///
///     TQ_DECLARE_TYPE_NAME(TQ2D_POINT_tag, "struct TQ2D_POINT_tag")
///
/// Container templates used as item types (the list element inside a list's index) specialise the
/// trait themselves. Get() never allocates through operator new and never throws.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <type_traits>
#include <typeinfo>

/// Fixed-size text built once per type; demangling uses malloc, not operator new.
class TQTypeNameText {
public:
    /// The name of type: "class " in front when isClass.
    TQTypeNameText(const std::type_info& type, bool isClass) noexcept {
        int status = 0;
        char* demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
        const char* name = (status == 0 && demangled) ? demangled : type.name();
        std::snprintf(m_text, sizeof m_text, "%s%.240s", isClass ? "class " : "", name);
        std::free(demangled);
    }
    /// Composes "class Outer<Inner>", with a blank between two closing brackets.
    TQTypeNameText(const char* outer, const char* inner) noexcept {
        size_t length = std::strlen(inner);
        bool nested = length && inner[length - 1] == '>';
        std::snprintf(m_text, sizeof m_text, "class %.40s<%.200s%s>", outer, inner, nested ? " " : "");
    }
    /// The text.
    const char* Get() const noexcept { return m_text; }

private:
    char m_text[256];
};

/// The printed name of T (specialise with TQ_DECLARE_TYPE_NAME).
template <class T> struct TQTypeName {
    /// The name, e.g. "class TQ2DParticle".
    static const char* Get() noexcept {
        static const TQTypeNameText text(typeid(T), std::is_class<T>::value);
        return text.Get();
    }
};

/// Declares the spelling of one type's name; use at global scope.
#define TQ_DECLARE_TYPE_NAME(type, spelling)                                                                 \
    template <> struct TQTypeName<type> {                                                                    \
        static const char* Get() noexcept { return spelling; }                                               \
    };
