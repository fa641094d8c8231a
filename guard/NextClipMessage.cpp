#include "guard/NextClipMessage.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace
{
constexpr char kAddressHead[] = "/composition/layers/";
constexpr char kAddressTail[] = "/connectnextclip";
constexpr std::uint8_t kTypeTags[4] = { ',', 'i', 0, 0 };
constexpr std::uint8_t kArgumentOne[4] = { 0, 0, 0, 1 }; // int32 1, big-endian
} // namespace

NextClipMessage::NextClipMessage(std::uint32_t layerNumber)
{
	const auto append = [this](const void* data, std::size_t count) {
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

void NextClipMessage::SendToLocalHost(std::uint16_t port) const
{
	const int socketFd = ::socket(AF_INET, SOCK_DGRAM, 0);
	if (socketFd < 0)
		return;

	sockaddr_in destination;
	std::memset(&destination, 0, sizeof(destination));
	destination.sin_family = AF_INET;
	destination.sin_port = htons(port);
	destination.sin_addr.s_addr = htonl(INADDR_LOOPBACK);

	// Fire and forget: nobody would act on an error, the host least of all.
	(void)::sendto(socketFd, bytes, size, 0, reinterpret_cast<const sockaddr*>(&destination), sizeof(destination));
	::close(socketFd);
}
