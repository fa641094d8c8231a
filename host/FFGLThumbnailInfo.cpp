#include "host/FFGLThumbnailInfo.h"

#include <cstddef>
#include <utility>

namespace
{
CFFGLThumbnailInfo* instance = nullptr;
}

CFFGLThumbnailInfo::CFFGLThumbnailInfo(
	std::uint32_t thumbWidth, std::uint32_t thumbHeight, std::vector<CFFGLColor> thumbPixels) :
	width(thumbWidth),
	height(thumbHeight),
	ownedPixels(std::move(thumbPixels)),
	pixels(nullptr)
{
	ownedPixels.resize(static_cast<std::size_t>(width) * height);
	pixels = ownedPixels.data();
	instance = this;
}

CFFGLThumbnailInfo::CFFGLThumbnailInfo(
	std::uint32_t thumbWidth, std::uint32_t thumbHeight, const CFFGLColor* thumbPixels) :
	width(thumbWidth),
	height(thumbHeight),
	pixels(thumbPixels)
{
	instance = this;
}

CFFGLThumbnailInfo::~CFFGLThumbnailInfo()
{
	if (instance == this)
		instance = nullptr;
}

CFFGLThumbnailInfo* CFFGLThumbnailInfo::GetInstance()
{
	return instance;
}

std::uint32_t CFFGLThumbnailInfo::GetWidth() const
{
	return width;
}

std::uint32_t CFFGLThumbnailInfo::GetHeight() const
{
	return height;
}

const CFFGLColor* CFFGLThumbnailInfo::GetPixels() const
{
	return pixels;
}
