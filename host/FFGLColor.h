// CFFGLColor: one thumbnail pixel, four 8-bit channels packed in a 32-bit word.
//
// The first constructor byte lands in the top 8 bits and the last in the low 8
// bits; the word is stored in the machine's byte order, which is how a
// thumbnail reaches the host.
#pragma once

#include <cstdint>

class CFFGLColor
{
public:
	constexpr CFFGLColor() = default;
	// Implicit on purpose: a pixel table may be written as a list of words.
	constexpr CFFGLColor(unsigned int word) : value(word) {}
	constexpr CFFGLColor(unsigned char c0, unsigned char c1, unsigned char c2, unsigned char c3) :
		value(static_cast<std::uint32_t>(c0) << 24 | static_cast<std::uint32_t>(c1) << 16 |
			static_cast<std::uint32_t>(c2) << 8 | static_cast<std::uint32_t>(c3))
	{
	}

	std::uint32_t value = 0;
};

// getThumbnail copies pixel arrays to the host byte for byte.
static_assert(sizeof(CFFGLColor) == 4, "CFFGLColor must be exactly one 32-bit word");
