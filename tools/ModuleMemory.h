// Reading memory that a plug-in module hands to its host.
//
// A host cannot trust the pointers a module returns: a broken module may hand
// out a null or wild pointer, or a text without a terminator. These reads go
// through the kernel, so an unreadable address makes the read fail instead of
// crashing the host, and every text is bounded.
#pragma once

#include <cstddef>
#include <string>

namespace ffgltool
{

// Copies size bytes from address into out. Returns false when address is null
// or any of the bytes is unreadable; out is then unspecified.
bool SafeCopy(const void* address, void* out, std::size_t size);

enum class TextRead
{
	Ok,
	Null,        // the pointer was null; out is empty
	Unreadable,  // the first bytes, or bytes before a terminator, are unreadable
	Unterminated // no terminator within maxLength characters; out holds them
};

// Reads a zero-terminated text of at most maxLength characters.
TextRead SafeReadText(const char* text, std::size_t maxLength, std::string& out);

// What is wrong with a text read with the given maxLength, to follow its
// description in a report: "is a null pointer", "points at unreadable
// memory", "has no terminating zero within N bytes"; empty for TextRead::Ok.
std::string TextReadProblem(TextRead read, std::size_t maxLength);

// The characters of a fixed-size field up to its first zero byte, or all of
// them when the field has none (as the name field of the info record may).
std::string FieldText(const char* field, std::size_t size);

} // namespace ffgltool
