// OscMessage: one OSC 1.0 message decoded from a UDP datagram, for showing
// what a plug-in sent to its host.
//
// The decoder trusts nothing in the datagram: every length is checked against
// its size, strings must end in a zero byte within it and be padded to a
// multiple of 4 bytes. Bundles are recognised but not taken apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ffgltool
{

struct OscMessage
{
	std::string address;
	// The type tag string without its leading comma; empty when the message
	// carries none (allowed for old senders, which then send no arguments).
	std::string typeTags;
	// One text per type tag, in order, e.g. "1", "2.5", "\"text\"", "true".
	std::vector<std::string> arguments;
};

// Decodes one datagram. On failure returns false and sets error to one line
// saying what is wrong (a bundle, a missing terminator, an unknown type tag,
// arguments running past the end, bytes left over).
bool DecodeOscMessage(const std::uint8_t* data, std::size_t size, OscMessage& message, std::string& error);

// "address ,tags arg1 arg2 ...", or "address" alone without type tags.
std::string FormatOscMessage(const OscMessage& message);

} // namespace ffgltool
