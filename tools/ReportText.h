// ReportText: how ffgl-host shows what a module (or an OSC sender) handed it.
//
// Whatever a module answers is shown on one line of a report: control bytes
// become \xNN, numbers are written so that they read back exactly.
#pragma once

#include <cstdint>
#include <string>

namespace ffgltool
{

// The text with control bytes (below 0x20, and 0x7F) written as \xNN. With
// escapeQuotes, '"' and '\' get a backslash too, so that the text can stand
// between quotes.
std::string Printable(const std::string& text, bool escapeQuotes = false);

// "0x%08X".
std::string HexWord(std::uint32_t value);

// The shortest decimal text that reads back as the same value, so that
// 0.333333f shows as 0.333333 and not 0.333332986; "NaN", "inf", "-inf". An
// exponent only where plain digits would need more: 10 shows as 10, not 1e+01,
// and 1000000 as 1e+06. For values that are compared: two different floats
// never show alike.
std::string RealText(float value);
std::string RealText(double value);

// At most six significant digits, as a slider or a display text shows a value,
// trailing zeros dropped: 0.002f / 0.05f (0.040000003) shows as 0.04. For
// values that are only shown.
std::string RoundedText(float value);

} // namespace ffgltool
