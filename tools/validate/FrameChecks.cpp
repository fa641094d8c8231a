#include "tools/validate/FrameChecks.h"

#include "tools/ReportText.h"
#include "tools/validate/ModuleAnswers.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace ffgltool::validate
{
namespace
{

} // namespace

void CheckRefusedFrames(Validation& validation, FrameRig& rig, void* instance)
{
	Findings findings;
	if (validation.minInputs == 0)
	{
		validation.report.Add("frames-refused", Status::Pass, "not applicable: the module needs no input");
		return;
	}
	const auto expectRefusal = [&](ProcessOpenGLStructTag& record, const std::string& what)
	{
		bool untouched = true;
		const std::uint32_t result = rig.Frame(validation.module, instance, record, what, untouched);
		if (result != FF_FAIL)
			findings.Fail(what + " was not refused (code 17 answered " + HexWord(result) + ")");
		if (!untouched)
			findings.Fail(what + " drew into the host framebuffer");
	};

	FrameInputs none = rig.Inputs(0);
	expectRefusal(none.record, "a frame without inputs");
	if (validation.minInputs > 1)
	{
		FrameInputs few = rig.Inputs(validation.minInputs - 1);
		expectRefusal(few.record,
			"a frame with " + std::to_string(validation.minInputs - 1) + " of " + std::to_string(validation.minInputs) +
				" inputs");
	}
	FrameInputs nullArray = rig.Inputs(validation.minInputs);
	nullArray.record.inputTextures = nullptr;
	expectRefusal(nullArray.record, "a frame with a null input array");
	for (std::uint32_t slot = 0; slot < validation.minInputs; ++slot)
	{
		FrameInputs nullEntry = rig.Inputs(validation.minInputs);
		nullEntry.pointers[slot] = nullptr;
		expectRefusal(nullEntry.record, "a frame with input " + std::to_string(slot) + " null");
	}
	rig.BindOutput();
	if (validation.module.CallForCode(FF_PROCESS_OPENGL, NullArgument(), instance) != FF_FAIL)
		findings.Fail("a null frame record was not refused");
	validation.report.Add("frames-refused", findings, "frames with too few or null inputs refused without drawing");
}

void CheckFrames(Validation& validation, FrameRig& rig, void* instance)
{
	Findings findings;
	for (int frame = 0; frame < 3; ++frame)
	{
		validation.module.SetTime(instance, frame / 60.0);
		FrameInputs inputs = rig.Inputs(WellFormedInputCount(validation));
		bool untouched = true;
		const std::uint32_t result = rig.Frame(validation.module, instance, inputs.record, "a frame", untouched);
		if (result != FF_SUCCESS)
			findings.Fail("a well-formed frame with " + std::to_string(inputs.record.numInputTextures) +
				" inputs was refused (code 17 answered " + HexWord(result) + ")");
	}
	// Also the viewport edge: a host may resize to nothing and back.
	rig.BindOutput();
	validation.module.Resize(instance, FFGLViewportStructTag{ 0, 0, 1, 1 });
	FrameInputs inputs = rig.Inputs(WellFormedInputCount(validation));
	bool untouched = true;
	rig.Frame(validation.module, instance, inputs.record, "a frame after a resize to 1x1", untouched);
	rig.BindOutput();
	validation.module.Resize(instance, FrameRig::kViewport);
	validation.report.Add("frames", findings, "well-formed frames succeed");
	validation.report.Add(
		"gl-state", rig.GLStateFindings(), "bindings, enables, viewport and pixel store as found after every frame");
}

} // namespace ffgltool::validate
