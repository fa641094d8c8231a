// The hold and recovery machine of AddSubtract, driven with the test's own
// clock readings. Every message it decides to send goes out for real and is
// counted on a UDP socket bound on 127.0.0.1.
#include "tests/guard/AddSubtractTestAccess.h"
#include "support/UdpReceiver.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <memory>
#include <tuple>
#include <vector>

namespace
{
using Timing = AddSubtractTestAccess::Timing;

constexpr int kPort = 8831;
constexpr bool B = true;  // a frame judged black
constexpr bool N = false; // a frame judged non-black

constexpr std::int64_t Ms(std::int64_t milliseconds)
{
	return milliseconds * 1000000;
}

struct Frame
{
	bool black;
	std::int64_t nowNs;
};

// Frames of one kind from fromMs to toMs inclusive, every stepMs.
std::vector<Frame> Frames(bool black, std::int64_t fromMs, std::int64_t toMs, std::int64_t stepMs)
{
	std::vector<Frame> frames;
	for (std::int64_t ms = fromMs; ms <= toMs; ms += stepMs)
		frames.push_back({ black, Ms(ms) });
	return frames;
}

std::vector<Frame> Join(std::initializer_list<std::vector<Frame>> parts)
{
	std::vector<Frame> frames;
	for (const auto& part : parts)
		frames.insert(frames.end(), part.begin(), part.end());
	return frames;
}

class GuardTimingTest : public ::testing::Test
{
protected:
	void SetUp() override { ASSERT_TRUE(receiver.IsOpen()) << receiver.Error(); }

	// A new guard with the given hold and recovery, sending to kPort.
	void Reset(float holdSeconds, float recoverySeconds)
	{
		guard = std::make_unique<AddSubtract>();
		ASSERT_EQ(guard->SetFloatParameter(1, holdSeconds / 10.0f), FF_SUCCESS);
		ASSERT_EQ(guard->SetFloatParameter(2, recoverySeconds / 5.0f), FF_SUCCESS);
		ASSERT_EQ(guard->SetFloatParameter(4, static_cast<float>(kPort - 6000) / 3000.0f), FF_SUCCESS);
		ASSERT_STREQ(guard->GetParameterDisplay(4), "8831");
	}

	// Advances the machine; true when this frame sent the message (the guard
	// disarms exactly when it sends).
	bool Step(const Frame& frame)
	{
		const bool wasArmed = std::get<0>(AddSubtractTestAccess::TimingOf(*guard));
		AddSubtractTestAccess::AdvanceTiming(*guard, frame.black, frame.nowNs);
		return wasArmed && !std::get<0>(AddSubtractTestAccess::TimingOf(*guard));
	}

	// Takes count datagrams, then checks that no other one arrives.
	void ExpectDatagrams(std::size_t count)
	{
		for (std::size_t i = 0; i < count; ++i)
			EXPECT_TRUE(receiver.Receive(2000).has_value()) << "datagram " << i + 1 << " of " << count << " missing";
		EXPECT_FALSE(receiver.Receive(20).has_value()) << "more than " << count << " datagrams";
	}

	UdpReceiver receiver{ kPort };
	std::unique_ptr<AddSubtract> guard;
};

TEST_F(GuardTimingTest, EveryTransition)
{
	struct Row
	{
		const char* state;
		const char* event;
		float hold;
		float recovery;
		std::vector<Frame> setup;
		Frame frame;
		bool sends;
		Timing after;
	};
	// Frames that lead into each state, from a new guard.
	const std::vector<Frame> armedBlack = { { B, Ms(100) } };
	const std::vector<Frame> armedClear = { { N, Ms(100) } };
	const std::vector<Frame> disarmedBlack = { { B, Ms(100) }, { B, Ms(1100) } };
	const std::vector<Frame> disarmedClear = { { B, Ms(100) }, { B, Ms(1100) }, { N, Ms(1200) } };
	const Row rows[] = {
		{ "armed, idle", "B", 1.0f, 0.5f, {}, { B, Ms(100) }, false, { true, true, false, Ms(100), 0 } },
		{ "armed, idle", "B, hold 0", 0.0f, 0.5f, {}, { B, Ms(100) }, true, { false, true, false, Ms(100), 0 } },
		{ "armed, idle", "N", 1.0f, 0.5f, {}, { N, Ms(100) }, false, { true, false, true, 0, Ms(100) } },
		{ "armed, timing black", "B at the hold", 1.0f, 0.5f, armedBlack, { B, Ms(1100) }, true,
			{ false, true, false, Ms(100), 0 } },
		{ "armed, timing black", "B before the hold", 1.0f, 0.5f, armedBlack, { B, Ms(1099) }, false,
			{ true, true, false, Ms(100), 0 } },
		{ "armed, timing black", "N", 1.0f, 0.5f, armedBlack, { N, Ms(200) }, false,
			{ true, false, true, Ms(100), Ms(200) } },
		{ "armed, timing clear", "N", 1.0f, 0.5f, armedClear, { N, Ms(5000) }, false,
			{ true, false, true, 0, Ms(100) } },
		{ "armed, timing clear", "B", 1.0f, 0.5f, armedClear, { B, Ms(200) }, false,
			{ true, true, false, Ms(200), Ms(100) } },
		{ "armed, timing clear", "B, hold 0", 0.0f, 0.5f, armedClear, { B, Ms(200) }, true,
			{ false, true, false, Ms(200), Ms(100) } },
		{ "disarmed, timing black", "B, however late", 1.0f, 0.5f, disarmedBlack, { B, Ms(60000) }, false,
			{ false, true, false, Ms(100), 0 } },
		{ "disarmed, timing black", "N", 1.0f, 0.5f, disarmedBlack, { N, Ms(1200) }, false,
			{ false, false, true, Ms(100), Ms(1200) } },
		{ "disarmed, timing black", "N, recovery 0", 1.0f, 0.0f, disarmedBlack, { N, Ms(1200) }, false,
			{ true, false, true, Ms(100), Ms(1200) } },
		{ "disarmed, timing clear", "N at the recovery", 1.0f, 0.5f, disarmedClear, { N, Ms(1700) }, false,
			{ true, false, true, Ms(100), Ms(1200) } },
		{ "disarmed, timing clear", "N before the recovery", 1.0f, 0.5f, disarmedClear, { N, Ms(1699) }, false,
			{ false, false, true, Ms(100), Ms(1200) } },
		{ "disarmed, timing clear", "B", 1.0f, 0.5f, disarmedClear, { B, Ms(1300) }, false,
			{ false, true, false, Ms(1300), Ms(1200) } },
	};
	for (const Row& row : rows)
	{
		SCOPED_TRACE(::testing::Message() << row.state << " + " << row.event);
		Reset(row.hold, row.recovery);
		std::size_t sent = 0;
		for (const Frame& frame : row.setup)
			sent += Step(frame) ? 1 : 0;
		ExpectDatagrams(sent);

		EXPECT_EQ(Step(row.frame), row.sends);
		EXPECT_EQ(AddSubtractTestAccess::TimingOf(*guard), row.after);
		ExpectDatagrams(row.sends ? 1 : 0);
	}
}

TEST_F(GuardTimingTest, Consequences)
{
	constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
	constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
	struct Scenario
	{
		const char* what;
		float hold;
		float recovery;
		std::vector<Frame> frames;
		std::vector<std::int64_t> sendsAt; // clock readings of the frames that send
	};
	const Scenario scenarios[] = {
		{ "a new guard whose first frames are black sends after the hold", 1.0f, 0.5f, Frames(B, 0, 3000, 40),
			{ Ms(1000) } },
		{ "3 s of black send once, at the first frame 1 s into the run", 1.0f, 0.5f,
			Join({ Frames(N, 0, 200, 30), Frames(B, 230, 3230, 30) }), { Ms(1250) } },
		{ "hold 0: the first black frame of an armed run sends", 0.0f, 0.5f,
			Join({ Frames(N, 0, 100, 50), { { B, Ms(130) } } }), { Ms(130) } },
		{ "recovery 0: the first non-black frame re-arms", 0.0f, 0.0f, { { B, Ms(0) }, { N, Ms(10) }, { B, Ms(20) } },
			{ Ms(0), Ms(20) } },
		{ "one non-black frame restarts the hold", 1.0f, 0.5f,
			Join({ Frames(B, 0, 600, 100), { { N, Ms(650) } }, Frames(B, 700, 2000, 100) }), { Ms(1700) } },
		{ "0.3 s of picture after a send do not re-arm", 1.0f, 0.5f,
			Join({ Frames(B, 0, 1000, 100), Frames(N, 1100, 1400, 100), Frames(B, 1500, 60000, 500) }), { Ms(1000) } },
		{ "0.5 s of picture, then 1 s of black, send again", 1.0f, 0.5f,
			Join({ Frames(B, 0, 1000, 100), Frames(N, 1100, 1600, 100), Frames(B, 1700, 2700, 100) }),
			{ Ms(1000), Ms(2700) } },
		{ "a gap of 5 s between two black frames counts", 1.0f, 0.5f, { { B, Ms(0) }, { B, Ms(5000) } }, { Ms(5000) } },
		{ "the longest hold", 10.0f, 0.5f, Frames(B, 0, 12000, 500), { Ms(10000) } },
		{ "a reading before the run began", 1.0f, 0.5f, { { B, Ms(1000) }, { B, Ms(0) } }, {} },
		{ "readings a whole clock range apart", 1.0f, 0.5f, { { B, kMin }, { B, kMax } }, { kMax } },
		{ "readings a whole clock range apart, backwards", 1.0f, 0.5f, { { B, kMax }, { B, kMin } }, {} },
	};
	for (const Scenario& scenario : scenarios)
	{
		SCOPED_TRACE(scenario.what);
		Reset(scenario.hold, scenario.recovery);
		std::vector<std::int64_t> sendsAt;
		for (const Frame& frame : scenario.frames)
			if (Step(frame))
				sendsAt.push_back(frame.nowNs);
		EXPECT_EQ(sendsAt, scenario.sendsAt);
		ExpectDatagrams(sendsAt.size());
	}
}

// A frame that ProcessOpenGL refuses (no input) neither starts nor ends a run.
TEST_F(GuardTimingTest, RefusedFramesLeaveTheTimingAlone)
{
	Reset(1.0f, 0.5f);
	AddSubtractTestAccess::AdvanceTiming(*guard, B, Ms(100));
	const Timing before = AddSubtractTestAccess::TimingOf(*guard);

	FFGLTextureStructTag* missing[1] = { nullptr };
	ProcessOpenGLStructTag records[] = { { 0, nullptr, 0 }, { 1, nullptr, 0 }, { 1, missing, 0 } };
	for (ProcessOpenGLStructTag& record : records)
		EXPECT_EQ(guard->ProcessOpenGL(&record), FF_FAIL);
	EXPECT_EQ(guard->ProcessOpenGL(nullptr), FF_FAIL);
	EXPECT_EQ(AddSubtractTestAccess::TimingOf(*guard), before);
	ExpectDatagrams(0);
}
} // namespace
