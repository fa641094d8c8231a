// CFFGLThumbnailInfo: an optional preview picture a plug-in module registers.
//
// A module that wants a thumbnail constructs one static object; the most
// recently constructed one is what plugMain code 42 serves. Pixels are
// CFFGLColor words, rows in the order given, copied to the host byte for byte.
#pragma once

#include "host/FFGLColor.h"

#include <cstdint>
#include <vector>

class CFFGLThumbnailInfo
{
public:
	// Takes over the pixel array and sizes it to width x height: missing pixels
	// become zero, extra ones are dropped.
	CFFGLThumbnailInfo(std::uint32_t width, std::uint32_t height, std::vector<CFFGLColor> pixels);
	// Keeps the pointer without copying: the pixels must outlive this object.
	CFFGLThumbnailInfo(std::uint32_t width, std::uint32_t height, const CFFGLColor* pixels);
	// Unregisters the object when it is still the registered one.
	~CFFGLThumbnailInfo();

	CFFGLThumbnailInfo(const CFFGLThumbnailInfo&) = delete;
	CFFGLThumbnailInfo& operator=(const CFFGLThumbnailInfo&) = delete;

	// The registered thumbnail, or null when none exists.
	static CFFGLThumbnailInfo* GetInstance();

	std::uint32_t GetWidth() const;
	std::uint32_t GetHeight() const;
	// width x height pixels, or null when constructed from a null pointer.
	const CFFGLColor* GetPixels() const;

private:
	std::uint32_t width;
	std::uint32_t height;
	std::vector<CFFGLColor> ownedPixels;
	const CFFGLColor* pixels;
};
