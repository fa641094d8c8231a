#include "ffglqs/Audio.h"
#include "ffglqs/SmoothValue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
using ffglqs::Audio;

struct Levels
{
	float volume, bass, med, high;
};

Levels LevelsOf(const Audio& audio)
{
	return { audio.GetVolume(), audio.GetBass(), audio.GetMed(), audio.GetHigh() };
}

// An analyser that follows every spectrum at once, gain 1.
Audio Unsmoothed()
{
	Audio audio;
	audio.SetGain(0.0f);
	audio.SetSmoothness(0.0f);
	return audio;
}

TEST(AudioTest, NewAnalyserIsSilentAndStaysSoUntilAGainIsSet)
{
	Audio audio;
	EXPECT_EQ(audio.GetVolume(), 0.0f);
	audio.Update(std::vector<float>(2048, 1.0f));
	const Levels levels = LevelsOf(audio);
	EXPECT_EQ(levels.volume, 0.0f);
	EXPECT_EQ(levels.bass, 0.0f);
	EXPECT_EQ(levels.med, 0.0f);
	EXPECT_EQ(levels.high, 0.0f);
}

TEST(AudioTest, DefaultSmoothingSequence)
{
	Audio audio;
	audio.SetGain(0.0f);
	const float expected[] = { 0.2f, 0.36f, 0.488f };
	for(float value : expected)
	{
		audio.Update(std::vector<float>(2048, 1.0f));
		EXPECT_NEAR(audio.GetVolume(), value, 1e-6f);
		EXPECT_NEAR(audio.GetBass(), value, 1e-6f);
		EXPECT_NEAR(audio.GetMed(), value, 1e-6f);
		EXPECT_NEAR(audio.GetHigh(), value, 1e-6f);
	}
}

TEST(AudioTest, SmoothnessZeroFollowsAndOneFreezes)
{
	ffglqs::SmoothValue value;
	value.SetSmoothness(0.0f);
	value.Update(0.7f);
	EXPECT_EQ(value.GetValue(), 0.7f);
	value.SetSmoothness(1.0f);
	value.Update(5.0f);
	EXPECT_EQ(value.GetValue(), 0.7f);
}

// One non-zero bin at a time: which levels see it.
struct BinCase
{
	std::size_t bins;
	std::size_t loudBin;
	bool bass, med, high;
};

class AudioBandTest : public ::testing::TestWithParam<BinCase>
{
};

TEST_P(AudioBandTest, BinReachesOnlyItsBand)
{
	const BinCase& c = GetParam();
	Audio audio = Unsmoothed();
	std::vector<float> spectrum(c.bins, 0.0f);
	spectrum[c.loudBin] = 1.0f;
	audio.Update(spectrum);

	const Levels levels = LevelsOf(audio);
	EXPECT_NEAR(levels.volume, std::sqrt(1.0f / static_cast<float>(c.bins)), 1e-6f);
	EXPECT_EQ(levels.bass > 0.0f, c.bass);
	EXPECT_EQ(levels.med > 0.0f, c.med);
	EXPECT_EQ(levels.high > 0.0f, c.high);
}

INSTANTIATE_TEST_SUITE_P(Bands, AudioBandTest,
	::testing::Values(
		// 2048 bins: third = 682, twoThirds = 1364, both in no band.
		BinCase{ 2048, 0, true, false, false },
		BinCase{ 2048, 681, true, false, false },
		BinCase{ 2048, 682, false, false, false },
		BinCase{ 2048, 683, false, true, false },
		BinCase{ 2048, 1363, false, true, false },
		BinCase{ 2048, 1364, false, false, false },
		BinCase{ 2048, 1365, false, false, true },
		BinCase{ 2048, 2047, false, false, true },
		// 6 bins: bass 0 and 1, mid 3, high 5; 2 and 4 in no band.
		BinCase{ 6, 1, true, false, false },
		BinCase{ 6, 2, false, false, false },
		BinCase{ 6, 3, false, true, false },
		BinCase{ 6, 4, false, false, false },
		BinCase{ 6, 5, false, false, true }));

TEST(AudioTest, BandLevelIsTheRootMeanSquareOverItsOwnBins)
{
	Audio audio = Unsmoothed();
	// 6 bins: bass over bins 0 and 1.
	audio.Update({ 3.0f, 4.0f, 0.0f, 2.0f, 0.0f, 0.0f });
	EXPECT_NEAR(audio.GetBass(), std::sqrt((9.0f + 16.0f) / 2.0f), 1e-6f);
	EXPECT_NEAR(audio.GetMed(), 2.0f, 1e-6f);
	EXPECT_NEAR(audio.GetVolume(), std::sqrt(29.0f / 6.0f), 1e-6f);
}

TEST(AudioTest, EmptyBandsAndEmptySpectrumReportZero)
{
	Audio audio = Unsmoothed();
	// 2 bins: third = 0, so bass and mid have no bins; high has bin 1.
	audio.Update({ 1.0f, 1.0f });
	EXPECT_EQ(audio.GetBass(), 0.0f);
	EXPECT_EQ(audio.GetMed(), 0.0f);
	EXPECT_NEAR(audio.GetHigh(), 1.0f, 1e-6f);
	EXPECT_FALSE(std::isnan(audio.GetVolume()));

	audio.Update({});
	const Levels levels = LevelsOf(audio);
	EXPECT_EQ(levels.volume, 0.0f);
	EXPECT_EQ(levels.bass, 0.0f);
	EXPECT_EQ(levels.med, 0.0f);
	EXPECT_EQ(levels.high, 0.0f);
}

TEST(AudioTest, GainInDecibelsScalesLevelsByItsSquareRoot)
{
	struct Case
	{
		float decibels;
		float factor;
	};
	const Case cases[] = { { 0.0f, 1.0f }, { 20.0f, std::sqrt(10.0f) }, { -40.0f, 0.1f } };
	for(const Case& c : cases)
	{
		Audio audio = Unsmoothed();
		audio.SetGain(c.decibels);
		audio.Update(std::vector<float>(2048, 0.5f));
		EXPECT_NEAR(audio.GetVolume(), 0.5f * c.factor, 1e-5f) << c.decibels << " dB";
		EXPECT_NEAR(audio.GetHigh(), 0.5f * c.factor, 1e-5f) << c.decibels << " dB";
	}
}

TEST(AudioTest, ToDBMapsNinetySixDecibelsOntoZeroToOne)
{
	EXPECT_EQ(Audio::ToDB(1.0f), 1.0f);
	EXPECT_EQ(Audio::ToDB(0.0f), 0.0f);
	EXPECT_EQ(Audio::ToDB(2.0f), 1.0f);
	EXPECT_NEAR(Audio::ToDB(0.003981f), 0.5f, 1e-4f);
	EXPECT_EQ(Audio::ToDB(1e-6f), 0.0f); // -120 dB
}

TEST(AudioTest, SampleRateGivesNyquistAndBinWidth)
{
	Audio audio;
	audio.Update(std::vector<float>(2048, 0.0f));
	audio.SetSampleRate(48000);
	EXPECT_EQ(audio.GetSampleRate(), 48000);
	EXPECT_EQ(audio.GetNyquist(), 24000.0f);
	EXPECT_EQ(audio.GetBinWidth(), 11.71875f);
}

TEST(AudioTest, SampleRateBeforeTheFirstSpectrumGetsItsBinWidthWithIt)
{
	Audio audio;
	audio.SetSampleRate(44100);
	EXPECT_TRUE(std::isinf(audio.GetBinWidth()));
	audio.Update(std::vector<float>(1024, 0.0f));
	EXPECT_NEAR(audio.GetBinWidth(), 22050.0f / 1024.0f, 1e-4f);
}

TEST(AudioTest, VolumeFromToCoversTheBinsBetweenTwoFrequencies)
{
	Audio audio = Unsmoothed();
	// 8 bins of 1000 Hz each at a rate of 16000.
	audio.Update({ 1.0f, 1.0f, 2.0f, 2.0f, 0.0f, 0.0f, 0.0f, 4.0f });
	EXPECT_EQ(audio.GetVolumeFromTo(0, 8000), 0.0f) << "no sample rate yet";

	audio.SetSampleRate(16000);
	ASSERT_EQ(audio.GetBinWidth(), 1000.0f);
	EXPECT_NEAR(audio.GetVolumeFromTo(2000, 3999), 2.0f, 1e-6f);
	EXPECT_NEAR(audio.GetVolumeFromTo(3999, 2000), 2.0f, 1e-6f);
	EXPECT_NEAR(audio.GetVolumeFromTo(0, 1500), 1.0f, 1e-6f);
	EXPECT_NEAR(audio.GetVolumeFromTo(4000, 6999), 0.0f, 1e-6f);
	// Clamped to the spectrum: the top bin alone, and all bins.
	EXPECT_NEAR(audio.GetVolumeFromTo(7500, 1000000), 4.0f, 1e-6f);
	EXPECT_NEAR(audio.GetVolumeFromTo(-500, 20000), std::sqrt(26.0f / 8.0f), 1e-6f);
	EXPECT_EQ(audio.GetVolumeFromTo(9000, 12000), 0.0f);

	// The gain applies as it does to the bands; the smoothing does not.
	audio.SetGain(20.0f);
	EXPECT_NEAR(audio.GetVolumeFromTo(7000, 7000), 4.0f * std::sqrt(10.0f), 1e-5f);
}

}// namespace
