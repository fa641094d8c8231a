// Audio: the analyser of one audio spectrum.
//
// Each Update takes the spectrum of one frame (one magnitude per frequency bin)
// and feeds four smoothed levels: the root-mean-square over all bins (volume)
// and over the lowest, middle and top third of the bins (bass, mid, high). Every
// squared bin is scaled by the gain first, which is 0 (silence) until SetGain is
// called. A quick-start plug-in keeps one analyser per FFT parameter and updates
// it once per frame; plug-in code reads the levels through the getters.
#pragma once

#include "ffglqs/SmoothValue.h"

#include <vector>

namespace ffglqs
{
class Audio
{
public:
	// Copies the bins and updates the four levels. The copy reuses the
	// analyser's own storage, so a spectrum of the same size as the last one
	// allocates nothing: this runs every frame. With n bins and
	// third = n / 3 (rounded down), bass covers bins below third, mid the bins
	// strictly between third and 2 * third, high the bins above 2 * third: the
	// bins third and 2 * third belong to no band but count toward the volume.
	// A band without bins, and the volume of an empty spectrum, feed a level of
	// 0. A bin that is NaN or infinite is stored and counted as 0.
	void Update(const std::vector<float>& bins);

	float GetVolume() const;
	float GetBass() const;
	float GetMed() const;
	float GetHigh() const;

	// The same smoothness for all four levels.
	void SetSmoothness(float s);
	// Gain in decibels: squared bins are multiplied by 10^(decibels / 20), so
	// the levels scale by 10^(decibels / 40).
	void SetGain(float decibels);
	// Stores the rate and derives nyquist (rate / 2) and the bin width (nyquist
	// over the bin count). While no spectrum has arrived the bin width is
	// infinite; the next Update with a known rate derives it again from the bins
	// it brings.
	void SetSampleRate(int rate);

	// A linear level as a 0..1 position on a 96 dB scale: 1 is 0 dB and above,
	// 0 is -96 dB and below (silence included).
	static float ToDB(float x);

	// The unsmoothed root-mean-square level, gain applied, of the bins covering
	// the frequencies fromHz to toHz (in either order) in the latest spectrum.
	// Bin i covers [i * binWidth, (i + 1) * binWidth); frequencies are clamped
	// to the spectrum, a negative one to 0 Hz. 0 before a sample rate is known,
	// without a spectrum, or when the range lies wholly above the spectrum or
	// wholly below 0 Hz.
	float GetVolumeFromTo(int fromHz, int toHz) const;

	int GetSampleRate() const;
	float GetNyquist() const;
	float GetBinWidth() const;

private:
	std::vector<float> fft;
	SmoothValue volume;
	SmoothValue bass;
	SmoothValue med;
	SmoothValue high;
	float nyquist = 0.0f;
	float binWidth = 0.0f;
	int sampleRate = 0;
	float gain = 0.0f;
};

} // namespace ffglqs
