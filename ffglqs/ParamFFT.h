// ParamFFT: an audio spectrum the host fills (type buffer, usage FFT).
//
// AddParam registers it as a buffer parameter with one element per bin and
// gives it an analyser; every frame the plug-in copies the host's element values
// into the bins and feeds them to that analyser. It gets no shader uniform.
#pragma once

#include "ffglqs/Param.h"

#include <vector>

namespace ffglqs
{
// The number of bins of an FFT parameter created without a size.
constexpr unsigned long DEFAULT_BUFFER_SIZE = 2048;

class Plugin;

class ParamFFT final : public Param
{
public:
	static std::shared_ptr<ParamFFT> Create(std::string name);
	static std::shared_ptr<ParamFFT> Create(std::string name, unsigned long bins);

	// The parameter index AddParam registered it under; 0 before that.
	unsigned int GetIndex() const;
	// The bins as of the current frame, zero until the first frame.
	const std::vector<float>& GetFFTData() const;

private:
	friend class Plugin;

	ParamFFT(std::string name, unsigned long bins);

	unsigned int index = 0;
	std::vector<float> fftData;
};

} // namespace ffglqs
