#include "tools/ReportText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace ffgltool
{
namespace
{

// std::to_chars: with no precision, the shortest text that reads back as the
// same value, plain digits or an exponent, whichever is shorter; with one, as
// %g writes it.
template <typename Real, typename... Precision>
std::string Text(Real value, Precision... precision)
{
	if (std::isnan(value))
		return "NaN";
	char text[40];
	return std::string(text, std::to_chars(text, text + sizeof text, value, precision...).ptr);
}

} // namespace

std::string Printable(const std::string& text, bool escapeQuotes)
{
	std::string shown;
	for (unsigned char c : text)
	{
		if (c < 0x20 || c == 0x7F)
		{
			char escaped[5];
			std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
			shown += escaped;
			continue;
		}
		if (escapeQuotes && (c == '"' || c == '\\'))
			shown += '\\';
		shown += static_cast<char>(c);
	}
	return shown;
}

std::string HexWord(std::uint32_t value)
{
	char text[11];
	std::snprintf(text, sizeof text, "0x%08X", value);
	return text;
}

std::string RealText(float value)
{
	return Text(value);
}

std::string RealText(double value)
{
	return Text(value);
}

std::string RoundedText(float value)
{
	return Text(value, std::chars_format::general, 6);
}

} // namespace ffgltool
