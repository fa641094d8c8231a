// The OSC decoder of ffgl-host run: the guard's message as ffgl-host send
// delivers it, every argument type a sender may use, and datagrams broken in
// each way a length or terminator can lie.
#include "tools/run/OscMessage.h"
#include "support/UdpReceiver.h"
#include "tests/tools/ToolProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

namespace
{

using Bytes = std::vector<std::uint8_t>;

// An OSC string: the text, a zero byte and padding to a multiple of 4.
Bytes S(std::string text)
{
	text.resize((text.size() / 4 + 1) * 4, '\0');
	return Bytes(text.begin(), text.end());
}

// Big-endian words, as OSC lays out every number.
Bytes W(std::initializer_list<std::uint32_t> words)
{
	Bytes bytes;
	for (std::uint32_t word : words)
		for (int shift = 24; shift >= 0; shift -= 8)
			bytes.push_back(static_cast<std::uint8_t>(word >> shift));
	return bytes;
}

Bytes operator+(Bytes bytes, const Bytes& more)
{
	bytes.insert(bytes.end(), more.begin(), more.end());
	return bytes;
}

Bytes Sent(const std::string& layer)
{
	UdpReceiver receiver; // on a port the system hands out
	EXPECT_EQ(RunFfglHost({ "send", "--port", std::to_string(receiver.Port()), "--layer", layer }).exitStatus, 0);
	return receiver.Receive(2000).value_or(Bytes{});
}

std::string Decoded(const Bytes& bytes)
{
	ffgltool::OscMessage message;
	std::string error;
	if (!ffgltool::DecodeOscMessage(bytes.data(), bytes.size(), message, error))
		return "error: " + error;
	return ffgltool::FormatOscMessage(message);
}

TEST(OscMessage, DecodesEveryArgumentTypeOrSaysWhatIsWrong)
{
	const std::uint64_t pointOne = 0x3FB999999999999Aull; // 0.1 as a double
	const struct
	{
		Bytes datagram;
		const char* expected; // the formatted message, or "error: " and a regular expression
	} cases[] = {
		{ Sent("12"), "/composition/layers/12/connectnextclip ,i 1" },
		{ S("/all") + S(",ifsbhdtcrmTFNI[]S") + W({ 0xFFFFFFFEu, 0x40200000u }) + S("abcd") + W({ 5 }) +
				Bytes{ 1, 2, 3, 4, 5, 0, 0, 0 } +
				W({ 0x80000000u, 0, static_cast<std::uint32_t>(pointOne >> 32), static_cast<std::uint32_t>(pointOne), 0,
					1, 'x', 0xFF8000FFu, 0x00903C7Fu }) +
				S("sym"),
			"/all ,ifsbhdtcrmTFNI[]S -2 2.5 \"abcd\" blob(5 bytes) -9223372036854775808 0.1 timetag(immediately) 'x' "
			"#FF8000FF midi(00903C7F) true false nil infinitum [ ] \"sym\"" },
		{ S("/b") + S(",bi") + W({ 4, 0x01020304, 7 }), "/b ,bi blob(4 bytes) 7" }, // a blob needing no padding
		{ S("/ping"), "/ping" },
		{ S("/ping") + S(","), "/ping" },
		{ S("/a\"\nb") + S(",s") + S("say \"hi\"\t"), "/a\\\"\\x0Ab ,s \"say \\\"hi\\\"\\x09\"" },
		{ S("#bundle") + W({ 0, 1 }), "error: an OSC bundle.*" },
		{ Bytes{}, "error: an empty datagram" },
		{ Bytes{ '/', 'a', 0 }, "error: the size 3 is not a multiple of 4" },
		{ S("abc"), "error: the address does not begin with '/'" },
		{ Bytes{ '/', 'a', 'b', 'c' }, "error: the address has no terminator.*" },
		{ S("/a") + S("i") + W({ 1 }), "error: no type tag string.*" },
		{ S("/a") + S(",ii") + W({ 1 }), "error: the argument of type 'i' runs past.*" },
		{ S("/a") + S(",b") + W({ 0xFFFFFFFFu, 0 }), "error: the argument of type 'b' runs past.*" },
		{ S("/a") + S(",s") + Bytes{ 'a', 'b', 'c', 'd' }, "error: the string argument .* has no terminator.*" },
		{ S("/a") + S(",iq") + W({ 1, 2 }), "error: unknown type tag 'q'" },
		{ S("/a") + S(",i") + W({ 1, 2 }), "error: 4 bytes left over.*" },
	};
	for (const auto& c : cases)
		if (std::strncmp(c.expected, "error: ", 7) == 0)
			EXPECT_THAT(Decoded(c.datagram), ::testing::MatchesRegex(c.expected));
		else
			EXPECT_EQ(Decoded(c.datagram), c.expected);
	ffgltool::OscMessage message; // an empty datagram as the receiver hands it: in a buffer, of size 0
	std::string error;
	EXPECT_TRUE(!ffgltool::DecodeOscMessage(Bytes(4).data(), 0, message, error) && error == "an empty datagram");
}

} // namespace
