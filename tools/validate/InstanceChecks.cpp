#include "tools/validate/InstanceChecks.h"

#include "tools/ModuleMemory.h"
#include "tools/ReportText.h"
#include "tools/validate/ModuleAnswers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace ffgltool::validate
{
namespace
{

// Hosts copy display texts into 16-byte fields: a longer text gets cut.
constexpr std::size_t kDisplayField = 16;

// Reads the display text of parameter i into findings' judgement.
void CheckDisplayText(
	const PluginModule& module, void* instance, std::uint32_t i, const std::string& context, Findings& findings)
{
	const char* text = module.GetParameterDisplay(instance, i);
	const std::string what = "the display text of parameter " + std::to_string(i) + context + " (code 7)";
	if (reinterpret_cast<std::uintptr_t>(text) == FF_FAIL)
	{
		findings.Warn(what + " is FF_FAIL in place of a text");
		return;
	}
	std::string read;
	if (!ReadModuleText(text, kMaxNameLength, what, findings, read, false))
		return;
	if (read.size() >= kDisplayField)
		findings.Warn(what + " \"" + Printable(read.substr(0, 40)) + "\" has no terminator within " +
			std::to_string(kDisplayField) + " bytes");
}

} // namespace

bool CheckInstantiate(Validation& validation, const FrameRig& rig)
{
	Findings findings;
	rig.BindOutput();
	const FFMixed refused = validation.module.Call(FF_INSTANTIATE_GL, NullArgument(), nullptr);
	const auto refusedBits = reinterpret_cast<std::uintptr_t>(refused.PointerValue);
	if (refusedBits != FF_FAIL && refusedBits != 0)
	{
		findings.Fail("code 18 with a null viewport created an instance");
		rig.DeInstantiate(validation.module, refused.PointerValue);
	}

	void* first = validation.module.Instantiate(FrameRig::kViewport);
	void* second = first != nullptr ? validation.module.Instantiate(FrameRig::kViewport) : nullptr;
	if (first == nullptr)
		findings.Fail("code 18 refused a 64x64 viewport");
	else if (second == nullptr)
		findings.Fail("code 18 refused a second instance while the first lives");
	else if (second == first)
		findings.Fail("code 18 gave the same handle twice");
	for (void* instance : { second, first })
		if (instance != nullptr)
		{
			if (const std::uint32_t result = rig.DeInstantiate(validation.module, instance); result != FF_SUCCESS)
				findings.Fail("code 19 answered " + HexWord(result));
		}
	validation.report.Add("instantiate", findings, "two instances created and deleted; a null viewport refused");
	return first != nullptr;
}

void CheckInstanceDefaults(Validation& validation, void* instance)
{
	Findings findings;
	for (std::uint32_t i = 0; i < validation.count; ++i)
	{
		const ParameterFacts& facts = validation.parameters[i];
		const std::string what = "parameter " + std::to_string(i);
		const FFMixed value = validation.module.GetParameter(instance, i);
		if (facts.textLike)
		{
			std::string text;
			if (ReadModuleText(static_cast<const char*>(value.PointerValue), kMaxLongTextLength,
					"the value of " + what + " (code 9)", findings, text, false) &&
				text != facts.defaultText)
				findings.Warn("a new instance holds \"" + Printable(text) + "\" in " + what + ", not its default");
		}
		else if (facts.type != FF_TYPE_BUFFER && facts.type != FF_TYPE_EVENT)
		{
			const float read = PluginModule::FloatFromBits(value.UIntValue);
			if (!SameFloat(read, facts.defaultValue, 1e-5f))
				findings.Warn("a new instance holds " + RealText(read) + " in " + what + ", not its default " +
					RealText(facts.defaultValue));
		}
	}
	validation.report.Add("instance-defaults", findings, "a new instance holds every default (code 9)");
}

void CheckDisplayTexts(Validation& validation, void* instance)
{
	Findings findings;
	for (std::uint32_t i = 0; i < validation.count; ++i)
		CheckDisplayText(validation.module, instance, i, "", findings);
	CheckDisplayText(validation.module, instance, validation.count, " (past the count)", findings);
	validation.report.Add("display-texts", findings, "every display text terminated within 16 bytes");
}

void CheckRoundTrips(Validation& validation, void* instance)
{
	static const float kEdges[] = { 0.0f, 1.0f, 0.5f, -1.0f, 2.0f, std::numeric_limits<float>::quiet_NaN(),
		std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity() };
	const std::string longText(300, 'x');
	const char* const kTexts[] = { "", "a", "\xC3\xA9t\xC3\xA9", longText.c_str() };

	Findings findings;
	for (std::uint32_t i = 0; i < validation.count; ++i)
	{
		const ParameterFacts& facts = validation.parameters[i];
		const std::string what = "parameter " + std::to_string(i);
		if (facts.textLike)
		{
			for (const char* text : kTexts)
			{
				const std::uint32_t result = validation.module.SetTextParameter(instance, i, text);
				std::string read;
				if (ReadModuleText(static_cast<const char*>(validation.module.GetParameter(instance, i).PointerValue),
						kMaxLongTextLength, "the value of " + what + " (code 9)", findings, read, false) &&
					result == FF_SUCCESS && read != text)
					findings.Warn(what + " reads back \"" + Printable(read.substr(0, 40)) + "\" after a set of \"" +
						Printable(std::string(text).substr(0, 40)) + "\"");
				CheckDisplayText(validation.module, instance, i, " after a text set", findings);
			}
			validation.module.SetTextParameter(instance, i, facts.defaultText.c_str());
			continue;
		}
		for (float value : kEdges)
		{
			const std::uint32_t result = validation.module.SetFloatParameter(instance, i, value);
			if (result != FF_SUCCESS && result != FF_FAIL)
				findings.Fail("code 8 answered " + HexWord(result) + " for " + what);
			const float read = PluginModule::FloatFromBits(validation.module.GetParameter(instance, i).UIntValue);
			const bool plainValue = value == 0.0f || value == 0.5f || value == 1.0f;
			if (result == FF_SUCCESS && plainValue && IsUnitParamType(facts.type) && !SameFloat(read, value, 1e-4f))
				findings.Warn(what + " reads back " + RealText(read) + " after a set of " + RealText(value));
			if (result == FF_SUCCESS && IsUnitParamType(facts.type) &&
				(std::isnan(read) || read < facts.min || read > facts.max))
				findings.Warn(what + " keeps " + RealText(read) + " after a set of " + RealText(value) +
					", outside its range " + RealText(facts.min) + ".." + RealText(facts.max));
			CheckDisplayText(validation.module, instance, i, " after a set of " + RealText(value), findings);
		}
		validation.module.SetFloatParameter(instance, i, facts.defaultValue);
	}
	for (std::uint32_t index : { validation.count, std::numeric_limits<std::uint32_t>::max() })
		if (index >= validation.count && validation.module.SetFloatParameter(instance, index, 0.5f) == FF_SUCCESS)
			findings.Warn("code 8 accepts parameter " + std::to_string(index) + ", past the count");
	validation.report.Add("set-get-round-trips", findings,
		"0, 1, 0.5, -1, 2, NaN and infinities set and read back, display texts terminated");
}

void CheckInstanceHostBuffers(Validation& validation, void* instance)
{
	Findings findings;
	for (std::uint32_t i = 0; i <= validation.count; ++i)
		CheckHostBufferWrite(findings, "the display name of parameter " + std::to_string(i) + " (code 51)",
			[&validation, instance, i](char* buffer, std::uint32_t size)
			{ return validation.module.GetParamDisplayName(instance, i, buffer, size); });

	GetParamEventsStructTag pending{ 0, nullptr };
	if (validation.module.GetParamEvents(instance, pending) != FF_SUCCESS)
		findings.Fail("code 46 refused to count the pending parameter events");
	else if (pending.numEvents > validation.count)
		findings.Fail("code 46 counts " + std::to_string(pending.numEvents) + " pending events for " +
			std::to_string(validation.count) + " parameters");
	for (std::uint32_t capacity : { 0u, 1u, 4u })
	{
		std::vector<std::uint8_t> storage((capacity + 1) * sizeof(ParamEventStructTag), kCanary);
		GetParamEventsStructTag request{ capacity, reinterpret_cast<ParamEventStructTag*>(storage.data()) };
		validation.module.GetParamEvents(instance, request);
		if (request.numEvents > capacity)
			findings.Fail("code 46 reports " + std::to_string(request.numEvents) + " events written into room for " +
				std::to_string(capacity));
		if (std::any_of(storage.begin() + static_cast<std::ptrdiff_t>(capacity * sizeof(ParamEventStructTag)),
				storage.end(), [](std::uint8_t b) { return b != kCanary; }))
			findings.Fail("code 46 wrote past an event array of capacity " + std::to_string(capacity));
	}
	validation.report.Add("host-buffers", findings, "codes 50, 51 and 46 write within the room the host gives");
}

// Host state and the remaining instance codes: any answer but a crash is
// acceptable, as long as it is a status.
void CheckHostStateCalls(Validation& validation, const FrameRig& rig, void* instance)
{
	Findings findings;
	const auto status = [&findings](const char* what, std::uint32_t result)
	{
		if (result != FF_SUCCESS && result != FF_FAIL)
			findings.Fail(std::string(what) + " answered " + HexWord(result));
	};
	status("code 20 (time 0)", validation.module.SetTime(instance, 0.0));
	status("code 20 (time NaN)", validation.module.SetTime(instance, std::numeric_limits<double>::quiet_NaN()));
	status("code 20 (time 1e12)", validation.module.SetTime(instance, 1e12));
	status("code 38", validation.module.SetBeatInfo(instance, 0.0f, std::numeric_limits<float>::infinity()));
	status("code 38", validation.module.SetBeatInfo(instance, 120.0f, 0.5f));
	status("code 39", validation.module.SetHostInfo(instance, "ffgl-host validate", "1.0"));
	status("code 40", validation.module.SetSampleRate(instance, 0));
	status("code 40", validation.module.SetSampleRate(instance, 48000));
	status("code 21", validation.module.Connect(instance));
	status("code 22", validation.module.Disconnect(instance));
	rig.BindOutput();
	status("code 23 (0x0)", validation.module.Resize(instance, FFGLViewportStructTag{ 0, 0, 0, 0 }));
	status("code 23", validation.module.Resize(instance, FrameRig::kViewport));
	for (std::uint32_t input = 0; input <= validation.maxInputs + 1; ++input)
	{
		const std::uint32_t answer = validation.module.GetInputStatus(instance, input);
		if (input >= validation.maxInputs && answer != FF_FAIL)
			findings.Warn("code 16 answers " + HexWord(answer) + " for input " + std::to_string(input) +
				", past the maximum of " + std::to_string(validation.maxInputs));
	}
	status("code 49", validation.module.EnablePluginCap(instance, FF_CAP_SET_TIME));
	validation.report.Add("host-state-calls", findings, "codes 16, 20, 21, 22, 23, 38, 39, 40 and 49 answer a status");
}

} // namespace ffgltool::validate
