#include "support/UdpReceiver.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

UdpReceiver::UdpReceiver(std::uint16_t requestedPort)
{
	fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
	if (fd < 0)
	{
		error = std::string("socket: ") + std::strerror(errno);
		return;
	}
	sockaddr_in address{};
	address.sin_family = AF_INET;
	address.sin_port = htons(requestedPort);
	address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
	if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0)
	{
		error = "cannot listen on 127.0.0.1:" + std::to_string(requestedPort) + ": " + std::strerror(errno);
		::close(fd);
		fd = -1;
		return;
	}
	socklen_t length = sizeof(address);
	::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
	port = ntohs(address.sin_port);
}

UdpReceiver::~UdpReceiver()
{
	if (fd >= 0)
		::close(fd);
}

std::optional<std::vector<std::uint8_t>> UdpReceiver::Receive(int timeoutMs)
{
	if (fd < 0)
		return std::nullopt;
	pollfd waitFor{ fd, POLLIN, 0 };
	if (::poll(&waitFor, 1, timeoutMs) <= 0)
		return std::nullopt;
	// 64 KiB holds any UDP datagram, so nothing is ever cut.
	std::vector<std::uint8_t> datagram(65536);
	const ssize_t received = ::recv(fd, datagram.data(), datagram.size(), 0);
	if (received < 0)
		return std::nullopt;
	datagram.resize(static_cast<std::size_t>(received));
	return datagram;
}

std::vector<std::vector<std::uint8_t>> UdpReceiver::Drain()
{
	std::vector<std::vector<std::uint8_t>> all;
	while (auto datagram = Receive(0))
		all.push_back(std::move(*datagram));
	return all;
}
