#include "tools/ReportText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ffgltool
{
namespace
{

// The fewest significant digits, up to maxPrecision, that read back as value;
// maxPrecision digits when none do.
template <typename Real>
std::string Shortest(Real value, int maxPrecision)
{
	if (std::isnan(value))
		return "NaN";
	if (std::isinf(value))
		return value > 0 ? "inf" : "-inf";
	int precision = 1;
	char text[40];
	for (; precision < maxPrecision; ++precision)
	{
		std::snprintf(text, sizeof text, "%.*g", precision, static_cast<double>(value));
		if (static_cast<Real>(std::strtod(text, nullptr)) == value)
			break;
	}
	// %g writes an exponent when the integer digits outnumber the precision
	// (10 at one digit is 1e+01); more digits, all of them exact, avoid it.
	const double magnitude = std::fabs(static_cast<double>(value));
	const int integerDigits = magnitude >= 1.0 ? static_cast<int>(std::log10(magnitude)) + 1 : 0;
	if (integerDigits > precision && integerDigits <= maxPrecision)
		precision = integerDigits;
	std::snprintf(text, sizeof text, "%.*g", precision, static_cast<double>(value));
	return text;
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
	return Shortest(value, 9);
}

std::string RealText(double value)
{
	return Shortest(value, 17);
}

std::string RoundedText(float value)
{
	return Shortest(value, 6);
}

} // namespace ffgltool
