#include "tools/validate/LeakCheck.h"

#include "tools/LeakProbes.h"
#include "tools/validate/FrameChecks.h"

#include <cstdint>
#include <string>

namespace ffgltool::validate
{
namespace
{

constexpr int kLeakCycles = 100;

} // namespace

void CheckLifecycleLeaks(Validation& validation, FrameRig& rig)
{
	Findings findings;
	const std::uint32_t numInputs = WellFormedInputCount(validation);
	const auto cycle = [&]()
	{
		void* instance = validation.module.Instantiate(FrameRig::kViewport);
		if (instance == nullptr)
			return false;
		FrameInputs inputs = rig.Inputs(numInputs);
		rig.BindOutput();
		validation.module.ProcessOpenGL(instance, inputs.record);
		rig.DeInstantiate(validation.module, instance);
		return true;
	};
	// The first cycles may fill caches of the driver or the module.
	cycle();
	cycle();
	const GLObjectCounts objectsBefore = GLObjectCounts::Read();
	const int fdsBefore = OpenFileDescriptors();
	int done = 0;
	while (done < kLeakCycles && cycle())
		++done;
	if (done < kLeakCycles)
		findings.Fail("code 18 refused an instance in cycle " + std::to_string(done + 1));
	const std::string grown = GLObjectCounts::Read().GrowthSince(objectsBefore);
	if (!grown.empty())
		findings.Fail(grown + " left over after " + std::to_string(done) + " cycles");
	const int fdsAfter = OpenFileDescriptors();
	if (fdsBefore >= 0 && fdsAfter > fdsBefore)
		findings.Fail(std::to_string(fdsAfter - fdsBefore) + " file descriptors left open after " +
			std::to_string(done) + " cycles");
	validation.report.Add("lifecycle-leaks", findings,
		std::to_string(kLeakCycles) +
			" cycles of instantiate, frame, deinstantiate: no GL object or file descriptor left over");
}

} // namespace ffgltool::validate
