// The OSC decoder of ffgl-host run: every argument type a sender may use,
// datagrams that are broken in the ways a length field can lie, and a message
// encoded by an independent implementation (liblo's oscsend).
#include "tools/run/OscMessage.h"
#include "support/UdpReceiver.h"
#include "tests/tools/ToolProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

using ffgltool::DecodeOscMessage;
using ffgltool::FormatOscMessage;
using ffgltool::OscMessage;
using Bytes = std::vector<std::uint8_t>;

// Builds datagrams field by field, as an OSC sender lays them out.
class Osc
{
public:
	Osc& String(const std::string& text)
	{
		bytes.insert(bytes.end(), text.begin(), text.end());
		do
			bytes.push_back(0);
		while (bytes.size() % 4 != 0);
		return *this;
	}
	Osc& Word(std::uint32_t value)
	{
		for (int shift = 24; shift >= 0; shift -= 8)
			bytes.push_back(static_cast<std::uint8_t>(value >> shift));
		return *this;
	}
	Osc& Long(std::uint64_t value)
	{
		Word(static_cast<std::uint32_t>(value >> 32));
		return Word(static_cast<std::uint32_t>(value));
	}
	Osc& Float(float value)
	{
		std::uint32_t bits;
		std::memcpy(&bits, &value, sizeof bits);
		return Word(bits);
	}
	Osc& Double(double value)
	{
		std::uint64_t bits;
		std::memcpy(&bits, &value, sizeof bits);
		return Long(bits);
	}
	Osc& Raw(const Bytes& more)
	{
		bytes.insert(bytes.end(), more.begin(), more.end());
		return *this;
	}
	Bytes bytes;
};

std::string Decoded(const Bytes& bytes)
{
	OscMessage message;
	std::string error;
	if (!DecodeOscMessage(bytes.data(), bytes.size(), message, error))
		return "error: " + error;
	return FormatOscMessage(message);
}

struct DecodeCase
{
	const char* label;
	Bytes datagram;
	const char* expected; // the formatted message, or "error: " and a regular expression
};

std::ostream& operator<<(std::ostream& stream, const DecodeCase& c)
{
	return stream << c.label;
}

class OscDecode : public ::testing::TestWithParam<DecodeCase>
{
};

TEST_P(OscDecode, GivesTheMessageOrSaysWhatIsWrong)
{
	const DecodeCase& c = GetParam();
	const std::string decoded = Decoded(c.datagram);
	const std::string expected = c.expected;
	if (expected.rfind("error: ", 0) == 0)
		EXPECT_THAT(decoded, ::testing::MatchesRegex(expected)) << c.label;
	else
		EXPECT_EQ(decoded, expected) << c.label;
}

// The 48 bytes the guard sends for layer 1, as the wire carries them.
Bytes GuardDatagram()
{
	const char text[] = "/composition/layers/1/connectnextclip\0\0\0,i\0\0\0\0\0\1";
	return Bytes(text, text + 48);
}

const DecodeCase kDecodeCases[] = {
	{ "GuardMessage", GuardDatagram(), "/composition/layers/1/connectnextclip ,i 1" },
	{ "TwoDigitLayer", Osc().String("/composition/layers/99/connectnextclip").String(",i").Word(1).bytes,
		"/composition/layers/99/connectnextclip ,i 1" },
	{ "EveryType",
		Osc()
			.String("/all")
			.String(",ifsbhdtcrmTFNI[]S")
			.Word(0xFFFFFFFEu)
			.Float(2.5f)
			.String("abcd")
			.Word(5)
			.Raw({ 1, 2, 3, 4, 5, 0, 0, 0 })
			.Long(0x8000000000000000ull)
			.Double(0.1)
			.Long(1)
			.Word('x')
			.Word(0xFF8000FFu)
			.Word(0x00903C7Fu)
			.String("sym")
			.bytes,
		"/all ,ifsbhdtcrmTFNI[]S -2 2.5 \"abcd\" blob(5 bytes) -9223372036854775808 0.1 timetag(immediately) 'x' "
		"#FF8000FF midi(00903C7F) true false nil infinitum [ ] \"sym\"" },
	{ "NoTypeTags", Osc().String("/ping").bytes, "/ping" },
	{ "EmptyTypeTags", Osc().String("/ping").String(",").bytes, "/ping" },
	{ "ControlBytesAndQuotesEscaped", Osc().String("/a\nb").String(",s").String("say \"hi\"\t").bytes,
		"/a\\x0Ab ,s \"say \\\"hi\\\"\\x09\"" },
	{ "Bundle", Osc().String("#bundle").Long(1).bytes, "error: an OSC bundle.*" },
	{ "Empty", Bytes{}, "error: an empty datagram" },
	{ "SizeNotMultipleOfFour", Bytes{ '/', 'a', 0 }, "error: the size 3 is not a multiple of 4" },
	{ "NotAnAddress", Osc().String("abc").bytes, "error: the address does not begin with '/'" },
	{ "AddressWithoutTerminator", Bytes{ '/', 'a', 'b', 'c' }, "error: the address has no terminator.*" },
	{ "TypeTagsWithoutComma", Osc().String("/a").String("i").Word(1).bytes, "error: no type tag string.*" },
	{ "IntegerPastTheEnd", Osc().String("/a").String(",ii").Word(1).bytes,
		"error: the argument of type 'i' runs past.*" },
	{ "BlobLongerThanTheDatagram", Osc().String("/a").String(",b").Word(0xFFFFFFFFu).Word(0).bytes,
		"error: the argument of type 'b' runs past.*" },
	{ "StringWithoutTerminator", Osc().String("/a").String(",s").Raw({ 'a', 'b', 'c', 'd' }).bytes,
		"error: the string argument .* has no terminator.*" },
	{ "UnknownTypeTag", Osc().String("/a").String(",iq").Word(1).Word(2).bytes, "error: unknown type tag 'q'" },
	{ "BytesLeftOver", Osc().String("/a").String(",i").Word(1).Word(2).bytes, "error: 4 bytes left over.*" },
};

INSTANTIATE_TEST_SUITE_P(Datagrams, OscDecode, ::testing::ValuesIn(kDecodeCases),
	[](const ::testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.label); });

TEST(OscDecode, ReadsWhatAnIndependentSenderEncodes)
{
	const char* const oscsend = "/usr/bin/oscsend";
	if (access(oscsend, X_OK) != 0)
	{
		if (OnCI())
			FAIL() << "liblo's oscsend (package liblo-tools) is missing";
		GTEST_SKIP() << "liblo's oscsend (package liblo-tools) is not installed";
	}
	UdpReceiver receiver;
	ASSERT_TRUE(receiver.IsOpen()) << receiver.Error();
	const ToolResult sent = RunTool(oscsend,
		{ "127.0.0.1", std::to_string(receiver.Port()), "/composition/layers/7/connectnextclip", "ifsTF", "-42", "0.5",
			"hello" });
	ASSERT_TRUE(sent.exited && sent.exitStatus == 0) << sent.err;
	const auto datagram = receiver.Receive(2000);
	ASSERT_TRUE(datagram.has_value());
	EXPECT_EQ(Decoded(*datagram), "/composition/layers/7/connectnextclip ,ifsTF -42 0.5 \"hello\" true false");
}

} // namespace
