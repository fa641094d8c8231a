#include "tools/ReportText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ffgltool
{
namespace
{

template <typename Real>
std::string Shortest(Real value, int maxPrecision)
{
	if (std::isnan(value))
		return "NaN";
	if (std::isinf(value))
		return value > 0 ? "inf" : "-inf";
	char text[40];
	for (int precision = 1; precision <= maxPrecision; ++precision)
	{
		std::snprintf(text, sizeof text, "%.*g", precision, static_cast<double>(value));
		if (static_cast<Real>(std::strtod(text, nullptr)) == value)
			break;
	}
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

} // namespace ffgltool
