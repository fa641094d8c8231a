#include "tools/run/OscMessage.h"

#include "tools/ReportText.h"

#include <cstdio>
#include <cstring>

namespace ffgltool
{
namespace
{

// A read position that never passes the end of the datagram.
class Reader
{
public:
	Reader(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}

	std::size_t Left() const { return size - at; }

	// An OSC string: characters, a zero byte, zero padding to a multiple of 4.
	bool ReadString(std::string& out)
	{
		const void* zero = std::memchr(data + at, 0, Left());
		if (zero == nullptr)
			return false;
		const std::size_t length = static_cast<const std::uint8_t*>(zero) - (data + at);
		const std::size_t padded = (length + 4) & ~std::size_t{ 3 };
		if (padded > Left())
			return false;
		out.assign(reinterpret_cast<const char*>(data + at), length);
		at += padded;
		return true;
	}

	bool ReadBigEndian(std::size_t bytes, std::uint64_t& out)
	{
		if (bytes > Left())
			return false;
		out = 0;
		for (std::size_t i = 0; i < bytes; ++i)
			out = (out << 8) | data[at + i];
		at += bytes;
		return true;
	}

	// A blob: a 32-bit size, the bytes, zero padding to a multiple of 4.
	bool ReadBlob(std::size_t& length)
	{
		std::uint64_t declared = 0;
		if (!ReadBigEndian(4, declared))
			return false;
		const std::uint64_t padded = (declared + 3) & ~std::uint64_t{ 3 };
		if (padded > Left())
			return false;
		length = static_cast<std::size_t>(declared);
		at += static_cast<std::size_t>(padded);
		return true;
	}

private:
	const std::uint8_t* data;
	std::size_t size;
	std::size_t at = 0;
};

std::string Quoted(const std::string& text)
{
	return "\"" + Printable(text, true) + "\"";
}

std::string HexText(std::uint64_t value, int digits)
{
	char text[20];
	std::snprintf(text, sizeof text, "%0*llX", digits, static_cast<unsigned long long>(value));
	return text;
}

// Reads the data of one argument; false when it runs past the end.
bool ReadArgument(Reader& reader, char tag, std::string& text, std::string& error)
{
	std::uint64_t bits = 0;
	switch (tag)
	{
	case 'i':
		if (!reader.ReadBigEndian(4, bits))
			break;
		text = std::to_string(static_cast<std::int32_t>(static_cast<std::uint32_t>(bits)));
		return true;
	case 'h':
		if (!reader.ReadBigEndian(8, bits))
			break;
		text = std::to_string(static_cast<std::int64_t>(bits));
		return true;
	case 'f':
	{
		if (!reader.ReadBigEndian(4, bits))
			break;
		const std::uint32_t word = static_cast<std::uint32_t>(bits);
		float value;
		std::memcpy(&value, &word, sizeof value);
		text = RealText(value);
		return true;
	}
	case 'd':
	{
		if (!reader.ReadBigEndian(8, bits))
			break;
		double value;
		std::memcpy(&value, &bits, sizeof value);
		text = RealText(value);
		return true;
	}
	case 's':
	case 'S':
	{
		std::string value;
		if (!reader.ReadString(value))
		{
			error = std::string("the string argument of type '") + tag + "' has no terminator within the datagram";
			return false;
		}
		text = Quoted(value);
		return true;
	}
	case 'b':
	{
		std::size_t length = 0;
		if (!reader.ReadBlob(length))
			break;
		text = "blob(" + std::to_string(length) + " bytes)";
		return true;
	}
	case 't':
		if (!reader.ReadBigEndian(8, bits))
			break;
		// The value 1 means "immediately" in OSC time tags.
		text = bits == 1 ? "timetag(immediately)" : "timetag(0x" + HexText(bits, 16) + ")";
		return true;
	case 'c':
	{
		if (!reader.ReadBigEndian(4, bits))
			break;
		text = "'" + Printable(std::string(1, static_cast<char>(bits & 0xFF)), true) + "'";
		return true;
	}
	case 'r':
		if (!reader.ReadBigEndian(4, bits))
			break;
		text = "#" + HexText(bits, 8);
		return true;
	case 'm':
		if (!reader.ReadBigEndian(4, bits))
			break;
		text = "midi(" + HexText(bits, 8) + ")";
		return true;
	case 'T':
		text = "true";
		return true;
	case 'F':
		text = "false";
		return true;
	case 'N':
		text = "nil";
		return true;
	case 'I':
		text = "infinitum";
		return true;
	case '[':
		text = "[";
		return true;
	case ']':
		text = "]";
		return true;
	default:
		// Without knowing a tag's size nothing after it can be read.
		error = "unknown type tag '" + Printable(std::string(1, tag), true) + "'";
		return false;
	}
	error = std::string("the argument of type '") + tag + "' runs past the end of the datagram";
	return false;
}

} // namespace

bool DecodeOscMessage(const std::uint8_t* data, std::size_t size, OscMessage& message, std::string& error)
{
	message = OscMessage();
	if (size == 0 || data == nullptr)
	{
		error = "an empty datagram";
		return false;
	}
	if (size % 4 != 0)
	{
		error = "the size " + std::to_string(size) + " is not a multiple of 4";
		return false;
	}
	if (data[0] == '#')
	{
		error = "an OSC bundle (bundles are not decoded)";
		return false;
	}
	if (data[0] != '/')
	{
		error = "the address does not begin with '/'";
		return false;
	}

	Reader reader(data, size);
	if (!reader.ReadString(message.address))
	{
		error = "the address has no terminator within the datagram";
		return false;
	}
	if (reader.Left() == 0)
		return true;

	std::string tags;
	if (!reader.ReadString(tags) || tags.empty() || tags[0] != ',')
	{
		error = "no type tag string after the address";
		return false;
	}
	message.typeTags = tags.substr(1);
	for (char tag : message.typeTags)
	{
		std::string text;
		if (!ReadArgument(reader, tag, text, error))
			return false;
		message.arguments.push_back(text);
	}
	if (reader.Left() != 0)
	{
		error = std::to_string(reader.Left()) + " bytes left over after the arguments";
		return false;
	}
	return true;
}

std::string FormatOscMessage(const OscMessage& message)
{
	std::string text = Printable(message.address, true);
	if (message.typeTags.empty() && message.arguments.empty())
		return text;
	text += " ," + Printable(message.typeTags, true);
	for (const std::string& argument : message.arguments)
		text += ' ' + argument;
	return text;
}

} // namespace ffgltool
