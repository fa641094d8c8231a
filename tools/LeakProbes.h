// LeakProbes: what a module can leave behind in a host process, counted so
// that a count before and after many instance cycles shows a leak.
//
// GLObjectCounts needs a current GL context; OpenFileDescriptors does not.
#pragma once

#include <array>
#include <string>

namespace ffgltool
{

// The live GL objects of each kind, found by probing names with glIs*, from 1
// to the highest name GL hands out now plus a margin for freed names.
struct GLObjectCounts
{
	static constexpr int kKinds = 7; // shader, program, buffer, texture, vertex array, framebuffer, renderbuffer
	std::array<int, kKinds> counts{};

	static GLObjectCounts Read();
	// "3 programs, 1 buffer" for the kinds that grew since before; empty when
	// none did.
	std::string GrowthSince(const GLObjectCounts& before) const;
};

// The number of open file descriptors of this process; -1 when /proc cannot
// be read.
int OpenFileDescriptors();

} // namespace ffgltool
