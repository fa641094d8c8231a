// A UDP socket bound on 127.0.0.1 that collects datagrams for tests and for
// the headless host, so that what a plug-in sends is checked byte for byte on
// a real socket.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class UdpReceiver
{
public:
	// Binds 127.0.0.1:port; port 0 picks a free port (see Port()).
	explicit UdpReceiver(std::uint16_t port = 0);
	~UdpReceiver();
	UdpReceiver(const UdpReceiver&) = delete;
	UdpReceiver& operator=(const UdpReceiver&) = delete;

	// False when the port could not be bound (Error() says why).
	bool IsOpen() const { return fd >= 0; }
	const std::string& Error() const { return error; }
	std::uint16_t Port() const { return port; }

	// The next datagram, waiting at most timeoutMs milliseconds (0: only what
	// has already arrived); nothing on timeout.
	std::optional<std::vector<std::uint8_t>> Receive(int timeoutMs);
	// Every datagram that has already arrived, without waiting.
	std::vector<std::vector<std::uint8_t>> Drain();

private:
	int fd = -1;
	std::uint16_t port = 0;
	std::string error;
};
