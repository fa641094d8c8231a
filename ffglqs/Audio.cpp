#include "ffglqs/Audio.h"

#include "ffglex/FFGLUtilities.h"

#include <algorithm>
#include <cmath>

namespace ffglqs
{
namespace
{
float RootMeanSquare(float sum, int count)
{
	return count > 0 ? std::sqrt(sum / static_cast<float>(count)) : 0.0f;
}
} // namespace

void Audio::Update(const std::vector<float>& bins)
{
	fft.assign(bins.begin(), bins.end());
	const int n = static_cast<int>(fft.size());
	const int third = n / 3;
	const int twoThirds = 2 * third;

	float volumeSum = 0.0f;
	float bassSum = 0.0f;
	float medSum = 0.0f;
	float highSum = 0.0f;
	int bassCount = 0;
	int medCount = 0;
	int highCount = 0;
	for (int i = 0; i < n; ++i)
	{
		// One NaN or infinite bin would make every later level NaN through the
		// smoothing, even at a gain of 0: it counts as silence instead.
		if (!std::isfinite(fft[i]))
			fft[i] = 0.0f;
		const float e = fft[i] * fft[i] * gain;
		volumeSum += e;
		if (i < third)
		{
			bassSum += e;
			++bassCount;
		}
		else if (i > third && i < twoThirds)
		{
			medSum += e;
			++medCount;
		}
		else if (i > twoThirds)
		{
			highSum += e;
			++highCount;
		}
	}

	volume.Update(RootMeanSquare(volumeSum, n));
	bass.Update(RootMeanSquare(bassSum, bassCount));
	med.Update(RootMeanSquare(medSum, medCount));
	high.Update(RootMeanSquare(highSum, highCount));

	// Hosts usually report the sample rate before the first spectrum arrives.
	if (sampleRate > 0 && n > 0)
		binWidth = nyquist / static_cast<float>(n);
}

float Audio::GetVolume() const
{
	return volume.GetValue();
}

float Audio::GetBass() const
{
	return bass.GetValue();
}

float Audio::GetMed() const
{
	return med.GetValue();
}

float Audio::GetHigh() const
{
	return high.GetValue();
}

void Audio::SetSmoothness(float s)
{
	volume.SetSmoothness(s);
	bass.SetSmoothness(s);
	med.SetSmoothness(s);
	high.SetSmoothness(s);
}

void Audio::SetGain(float decibels)
{
	gain = std::pow(10.0f, decibels / 20.0f);
}

void Audio::SetSampleRate(int rate)
{
	sampleRate = rate;
	nyquist = static_cast<float>(rate) / 2.0f;
	binWidth = nyquist / static_cast<float>(fft.size());
}

float Audio::ToDB(float x)
{
	const float decibels = 20.0f * std::log10(x);
	const float position = ffglex::map(decibels, -96.0f, 0.0f, 0.0f, 1.0f);
	return std::isinf(position) ? 0.0f : position;
}

float Audio::GetVolumeFromTo(int fromHz, int toHz) const
{
	if (sampleRate <= 0 || fft.empty() || !std::isfinite(binWidth) || !(binWidth > 0.0f))
		return 0.0f;

	const float low = static_cast<float>(std::min(fromHz, toHz));
	const float highHz = static_cast<float>(std::max(fromHz, toHz));
	// No bin covers a negative frequency: a range below 0 Hz is silent, one
	// that reaches above 0 Hz starts at bin 0.
	if (highHz < 0.0f)
		return 0.0f;
	const long lastBin = static_cast<long>(fft.size()) - 1;
	// Clamped as floats first: a frequency far above the spectrum must not
	// overflow the conversion to a bin number.
	const float firstIndex = std::floor(std::max(low, 0.0f) / binWidth);
	const float lastIndex = std::floor(highHz / binWidth);
	if (firstIndex > static_cast<float>(lastBin))
		return 0.0f;
	const long first = static_cast<long>(firstIndex);
	const long last = static_cast<long>(std::min(lastIndex, static_cast<float>(lastBin)));

	float sum = 0.0f;
	for (long i = first; i <= last; ++i)
		sum += fft[i] * fft[i] * gain;
	return RootMeanSquare(sum, static_cast<int>(last - first + 1));
}

int Audio::GetSampleRate() const
{
	return sampleRate;
}

float Audio::GetNyquist() const
{
	return nyquist;
}

float Audio::GetBinWidth() const
{
	return binWidth;
}

} // namespace ffglqs
