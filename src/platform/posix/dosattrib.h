#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The user.DOSATTRIB value that Samba and Wine keep the Windows attribute
// word in. Two forms: the "0x%x" text alone (Wine's, and ours by default), or
// Samba's binary record (its xattr.idl, NDR little-endian): the same text
// (Samba leaves it empty now), a NUL, the version twice, and that version's
// fields. Versions 3, 4 and 5 begin with valid flags and the attribute word
// and hold a creation time at a place of their own.
namespace stampwell::platform::posix {

struct DosAttrib {
    enum class Form : std::uint8_t {
        None,   // no value
        Text,   // the hex text, with or without a final NUL
        Binary, // Samba's record of version 3, 4 or 5
        Foreign // anything else: read as far as it goes, never rewritten
    };
    Form form = Form::None;
    std::uint32_t word = 0; // the stored attribute word; 0 where none is valid
    // 100 ns ticks since 1601, where the value holds a valid creation time.
    std::optional<std::uint64_t> created;
    std::string bytes; // as stored
};

DosAttrib ParseDosAttrib(std::string bytes);

// The value with the attribute word and the creation time (nothing: none
// kept here) changed and every other byte kept, in the form found; a value
// without a form gets the text, or version 5 when it must hold a creation
// time. Nothing for a Foreign value.
std::optional<std::string> RewriteDosAttrib(const DosAttrib& value, std::uint32_t word,
                                            std::optional<std::uint64_t> created);

} // namespace stampwell::platform::posix
