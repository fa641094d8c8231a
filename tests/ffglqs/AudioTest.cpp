#include "ffglqs/Audio.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace
{
using ffglqs::Audio;

// An analyser that follows every spectrum at once, gain 1.
Audio Unsmoothed()
{
	Audio audio;
	audio.SetGain(0.0f);
	audio.SetSmoothness(0.0f);
	return audio;
}

TEST(AudioTest, SilentUntilAGainIsSetThenTheDefaultSmoothingSequence)
{
	Audio audio;
	audio.Update(std::vector<float>(2048, 1.0f));
	EXPECT_EQ(audio.GetVolume(), 0.0f);
	audio.SetGain(0.0f);
	for (float expected : { 0.2f, 0.36f, 0.488f })
	{
		audio.Update(std::vector<float>(2048, 1.0f));
		for (float level : { audio.GetVolume(), audio.GetBass(), audio.GetMed(), audio.GetHigh() })
			EXPECT_NEAR(level, expected, 1e-6f);
	}
}

// One loud bin at a time: which bands (bass 100, mid 10, high 1) see it. The
// bins third = 682 and 2 * third = 1364 belong to no band but still count
// toward the volume.
TEST(AudioTest, EachBinReachesOnlyItsBand)
{
	const struct
	{
		std::size_t loudBin;
		int bands;
	} cases[] = { { 681, 100 }, { 682, 0 }, { 1363, 10 }, { 1364, 0 }, { 1365, 1 } };
	for (const auto& c : cases)
	{
		Audio audio = Unsmoothed();
		std::vector<float> spectrum(2048, 0.0f);
		spectrum[c.loudBin] = 1.0f;
		audio.Update(spectrum);
		EXPECT_NEAR(audio.GetVolume(), std::sqrt(1.0f / 2048.0f), 1e-6f) << c.loudBin;
		EXPECT_EQ((audio.GetBass() > 0.0f) * 100 + (audio.GetMed() > 0.0f) * 10 + (audio.GetHigh() > 0.0f), c.bands)
			<< c.loudBin;
	}
}

// Root mean square over the band's own bins, gain applied to the squares; a
// band without bins, and an empty spectrum, give 0.
TEST(AudioTest, BandLevelsGainAndEmptyBands)
{
	Audio audio = Unsmoothed();
	audio.Update({ 3.0f, 4.0f, 0.0f, 2.0f, 0.0f, 0.0f });
	EXPECT_NEAR(audio.GetBass(), std::sqrt((9.0f + 16.0f) / 2.0f), 1e-6f);
	EXPECT_NEAR(audio.GetMed(), 2.0f, 1e-6f);
	EXPECT_NEAR(audio.GetVolume(), std::sqrt(29.0f / 6.0f), 1e-6f);
	audio.SetGain(20.0f);
	audio.Update({ 1.0f, 1.0f }); // third = 0: bass and mid have no bins
	EXPECT_EQ(audio.GetBass(), 0.0f);
	EXPECT_NEAR(audio.GetHigh(), std::sqrt(10.0f), 1e-5f);
	audio.Update({});
	EXPECT_EQ(audio.GetVolume(), 0.0f);
}

// A host may hand over a spectrum with a NaN or infinite bin. It counts as 0,
// so it neither poisons the smoothed levels for later frames nor shows through
// a gain of 0.
TEST(AudioTest, NonFiniteBinsCountAsSilence)
{
	for (float bad : { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity() })
	{
		Audio audio;
		audio.Update({ bad, 0.0f, 0.0f, bad, 0.0f, bad });
		EXPECT_EQ(audio.GetVolume(), 0.0f) << "gain 0";
		audio.SetGain(0.0f);
		audio.Update({ 1.0f, bad, 0.0f, 0.0f, 0.0f, 0.0f });
		audio.Update(std::vector<float>(6, 1.0f));
		for (float level : { audio.GetVolume(), audio.GetBass(), audio.GetMed(), audio.GetHigh() })
			EXPECT_TRUE(std::isfinite(level)) << bad;
		EXPECT_NEAR(audio.GetBass(), 0.2f * std::sqrt(0.5f) * 0.8f + 0.2f, 1e-6f) << bad;
	}
}

// ToDB maps -96..0 dB onto 0..1. The bin width follows the sample rate set
// before or after a spectrum.
TEST(AudioTest, DecibelsAndSampleRate)
{
	EXPECT_EQ(Audio::ToDB(1.0f) * 100 + Audio::ToDB(0.0f) * 10 + Audio::ToDB(2.0f), 101.0f);
	EXPECT_NEAR(Audio::ToDB(0.003981f), 0.5f, 1e-4f);
	Audio audio;
	audio.Update(std::vector<float>(2048, 0.0f));
	audio.SetSampleRate(48000);
	EXPECT_EQ(audio.GetSampleRate(), 48000);
	EXPECT_EQ(audio.GetNyquist(), 24000.0f);
	EXPECT_EQ(audio.GetBinWidth(), 11.71875f);
	Audio early;
	early.SetSampleRate(44100);
	EXPECT_TRUE(std::isinf(early.GetBinWidth()));
	early.Update(std::vector<float>(1024, 0.0f));
	EXPECT_NEAR(early.GetBinWidth(), 22050.0f / 1024.0f, 1e-4f);
	early.Update({});
	EXPECT_NEAR(early.GetBinWidth(), 22050.0f / 1024.0f, 1e-4f) << "an empty spectrum changes no bin width";
}

TEST(AudioTest, VolumeFromToCoversTheBinsBetweenTwoFrequencies)
{
	Audio audio = Unsmoothed();
	// 8 bins of 1000 Hz each at a rate of 16000.
	audio.Update({ 1.0f, 1.0f, 2.0f, 2.0f, 0.0f, 0.0f, 0.0f, 4.0f });
	EXPECT_EQ(audio.GetVolumeFromTo(0, 8000), 0.0f) << "no sample rate yet";
	audio.SetSampleRate(16000);
	const struct
	{
		int from, to;
		float expected;
	} cases[] = {
		{ 2000, 3999, 2.0f }, { 3999, 2000, 2.0f }, { 7500, 1000000, 4.0f }, // clamped to the top bin
		{ -500, 20000, std::sqrt(26.0f / 8.0f) }, { 9000, 12000, 0.0f },     // wholly above the spectrum
		{ -500, -1, 0.0f }, { -500, 0, 1.0f },                               // below 0 Hz; up to 0 Hz: bin 0
	};
	for (const auto& c : cases)
		EXPECT_NEAR(audio.GetVolumeFromTo(c.from, c.to), c.expected, 1e-6f) << c.from << " to " << c.to << " Hz";
	// The gain applies as it does to the bands; the smoothing does not.
	audio.SetGain(20.0f);
	audio.SetSmoothness(0.9f);
	EXPECT_NEAR(audio.GetVolumeFromTo(7000, 7000), 4.0f * std::sqrt(10.0f), 1e-5f);
}

} // namespace
