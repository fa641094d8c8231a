// NextClipMessage: the OSC 1.0 message that tells the host to connect the next
// clip of one of its layers, and its fire-and-forget delivery over UDP to the
// local machine.
//
// For a layer number n the message is the address "/composition/layers/<n>/
// connectnextclip" (n in decimal, no sign, no leading zeros), padded with NULs
// to a multiple of 4, the type tags ",i" and the big-endian integer 1: 48 bytes
// for every layer from 1 to 99.
//
// The bytes are built in place, so making a message allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>

class NextClipMessage
{
public:
	// Room for the address with any unsigned 32-bit number (10 digits).
	static constexpr std::size_t kCapacity = 64;

	explicit NextClipMessage(std::uint32_t layerNumber);

	const std::uint8_t* Data() const { return bytes; }
	std::size_t Size() const { return size; }

	// Sends the message as one datagram to 127.0.0.1 on the given port, on a
	// socket opened and closed for this one send. Nothing is reported: a socket
	// that cannot be opened or a send that fails loses the message.
	void SendToLocalHost(std::uint16_t port) const;

private:
	std::uint8_t bytes[kCapacity] = {};
	std::size_t size = 0;
};
