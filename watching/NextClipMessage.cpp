#include "watching/NextClipMessage.h"

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX 1
#endif
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cstring>

namespace
{
constexpr char kAddressHead[] = "/composition/layers/";
constexpr char kAddressTail[] = "/connectnextclip";
constexpr std::uint8_t kTypeTags[4] = { ',', 'i', 0, 0 };
constexpr std::uint8_t kArgumentOne[4] = { 0, 0, 0, 1 }; // int32 1, big-endian

sockaddr_in LoopbackAddress(std::uint16_t port)
{
	// Zeroed first: the padding, and on BSD-derived systems the length byte,
	// stay 0.
	sockaddr_in destination;
	std::memset(&destination, 0, sizeof(destination));
	destination.sin_family = AF_INET;
	destination.sin_port = htons(port);
	destination.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
	return destination;
}
} // namespace

NextClipMessage::NextClipMessage(std::uint32_t layerNumber)
{
	const auto append = [this](const void* data, std::size_t count)
	{
		std::memcpy(bytes + size, data, count);
		size += count;
	};

	append(kAddressHead, sizeof(kAddressHead) - 1);

	char digits[10];
	std::size_t digitCount = 0;
	do
	{
		digits[digitCount++] = static_cast<char>('0' + layerNumber % 10);
		layerNumber /= 10;
	} while (layerNumber != 0);
	while (digitCount > 0)
		bytes[size++] = static_cast<std::uint8_t>(digits[--digitCount]);

	append(kAddressTail, sizeof(kAddressTail) - 1);

	// An OSC string ends with at least one NUL and is padded to 4 bytes; the
	// buffer starts zeroed, so skipping ahead writes the NULs.
	size = (size / 4 + 1) * 4;

	append(kTypeTags, sizeof(kTypeTags));
	append(kArgumentOne, sizeof(kArgumentOne));
}

#if defined(_WIN32)
void NextClipMessage::SendToLocalHost(std::uint16_t port) const
{
	// Winsock must be started by every user and counts its users, so the
	// start-up is paired with a clean-up around this one send. A host that
	// listens for OSC has it running already, and then both are only a count.
	WSADATA winsock;
	if (::WSAStartup(MAKEWORD(2, 2), &winsock) != 0)
		return;

	const SOCKET socketHandle = ::socket(AF_INET, SOCK_DGRAM, 0);
	if (socketHandle != INVALID_SOCKET)
	{
		const sockaddr_in destination = LoopbackAddress(port);
		// Fire and forget: nobody would act on an error, the host least of all.
		(void)::sendto(socketHandle, reinterpret_cast<const char*>(bytes), static_cast<int>(size), 0,
			reinterpret_cast<const sockaddr*>(&destination), sizeof(destination));
		::closesocket(socketHandle);
	}
	::WSACleanup();
}
#else
void NextClipMessage::SendToLocalHost(std::uint16_t port) const
{
	const int socketFd = ::socket(AF_INET, SOCK_DGRAM, 0);
	if (socketFd < 0)
		return;

	const sockaddr_in destination = LoopbackAddress(port);
	// Fire and forget: nobody would act on an error, the host least of all.
	(void)::sendto(socketFd, bytes, size, 0, reinterpret_cast<const sockaddr*>(&destination), sizeof(destination));
	::close(socketFd);
}
#endif
