#include "ffglqs/ParamFFT.h"

#include "host/FFGLRecords.h"

#include <utility>

namespace ffglqs
{
std::shared_ptr<ParamFFT> ParamFFT::Create(std::string name)
{
	return Create(std::move(name), DEFAULT_BUFFER_SIZE);
}

std::shared_ptr<ParamFFT> ParamFFT::Create(std::string name, unsigned long bins)
{
	return std::shared_ptr<ParamFFT>(new ParamFFT(std::move(name), bins));
}

ParamFFT::ParamFFT(std::string name, unsigned long bins) :
	Param(std::move(name), FF_TYPE_BUFFER, 0.0f),
	fftData(bins, 0.0f)
{
}

unsigned int ParamFFT::GetIndex() const
{
	return index;
}

const std::vector<float>& ParamFFT::GetFFTData() const
{
	return fftData;
}

} // namespace ffglqs
