#include "tools/validate/ModuleChecks.h"

#include "tools/ModuleMemory.h"
#include "tools/ReportText.h"
#include "tools/validate/ModuleAnswers.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace ffgltool::validate
{
namespace
{

// The extended data block is copied to check that it is readable; a size past
// this is taken as garbage, not allocated.
constexpr std::uint32_t kMaxExtendedData = 16u << 20;

} // namespace

bool CheckIdentity(Validation& validation)
{
	Findings findings;
	PluginInfoStructTag info{};
	std::string error;
	if (!validation.module.CopyInfo(info, error))
	{
		validation.report.Add("identity", Status::Fail, error);
		return false;
	}

	std::string id(info.PluginUniqueID, sizeof info.PluginUniqueID);
	const bool idPrintable = std::all_of(id.begin(), id.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
	if (!idPrintable)
		findings.Fail("the ID \"" + Printable(id) + "\" is not four printable characters");
	const std::string name = FieldText(info.PluginName, sizeof info.PluginName);
	if (name.empty())
		findings.Fail("the name field is empty");
	else if (!std::all_of(
				 name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x20 && c != 0x7F; }))
		findings.Fail("the name \"" + Printable(name) + "\" holds control characters");
	if (info.APIMajorVersion != 2)
		findings.Fail("API version " + std::to_string(info.APIMajorVersion) + "." +
			std::to_string(info.APIMinorVersion) + " is not 2.x");
	else if (info.APIMinorVersion < 1)
		findings.Warn("API version 2." + std::to_string(info.APIMinorVersion) + " is older than 2.1");
	if (info.PluginType != FF_EFFECT && info.PluginType != FF_SOURCE && info.PluginType != FF_MIXER)
		findings.Fail("plug-in type " + std::to_string(info.PluginType) + " is not effect, source or mixer");
	validation.pluginType = info.PluginType;

	static const char* const kTypes[] = { "effect", "source", "mixer" };
	const std::string typeText = info.PluginType <= 2 ? kTypes[info.PluginType] : std::to_string(info.PluginType);
	validation.report.Add("identity", findings,
		"ID \"" + Printable(id) + "\", name \"" + Printable(name) + "\"" +
			(name.size() == sizeof info.PluginName ? " (fills its 16-byte field)" : "") + ", " + typeText + ", API " +
			std::to_string(info.APIMajorVersion) + "." + std::to_string(info.APIMinorVersion));
	return true;
}

void CheckExtendedInfo(Validation& validation)
{
	Findings findings;
	const PluginExtendedInfoStructTag* pointer = validation.module.GetExtendedInfo();
	PluginExtendedInfoStructTag extended{};
	if (pointer == nullptr)
		findings.Warn("code 13 answered null: no version, description or about text");
	else if (!SafeCopy(pointer, &extended, sizeof extended))
		findings.Fail("the extended info record of code 13 points at unreadable memory");
	else
	{
		std::string text;
		if (extended.Description == nullptr)
			findings.Warn("no description text");
		else
			ReadModuleText(extended.Description, kMaxLongTextLength, "the description text", findings, text);
		if (extended.About == nullptr)
			findings.Warn("no about text");
		else
			ReadModuleText(extended.About, kMaxLongTextLength, "the about text", findings, text);
		if (extended.FreeFrameExtendedDataSize > kMaxExtendedData)
			findings.Fail("the extended data block claims " + std::to_string(extended.FreeFrameExtendedDataSize) +
				" bytes, more than " + std::to_string(kMaxExtendedData) + " is not plausible");
		else if (extended.FreeFrameExtendedDataSize > 0)
		{
			std::vector<std::uint8_t> block(extended.FreeFrameExtendedDataSize);
			if (!SafeCopy(extended.FreeFrameExtendedDataBlock, block.data(), block.size()))
				findings.Fail(
					"the extended data block of " + std::to_string(block.size()) + " bytes is null or unreadable");
		}
	}
	validation.report.Add("extended-info", findings,
		"version " + std::to_string(extended.PluginMajorVersion) + "." + std::to_string(extended.PluginMinorVersion) +
			", description and about texts terminated");
}

bool CheckInitialise(Validation& validation)
{
	Findings findings;
	const std::uint32_t first = validation.module.Initialise();
	if (first != FF_SUCCESS)
		findings.Fail("code 34 answered " + HexWord(first));
	else if (const std::uint32_t second = validation.module.Initialise(); second != FF_SUCCESS)
		findings.Fail("a second code 34 answered " + HexWord(second));
	validation.report.Add("initialise", findings, "code 34 succeeds, also when repeated");
	return !findings.Failed();
}

void CheckCapabilities(Validation& validation)
{
	Findings findings;
	for (std::uint32_t capability : { FF_CAP_SET_TIME, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION })
	{
		const std::uint32_t answer = validation.module.GetPluginCaps(capability);
		if (answer != FF_SUPPORTED && answer != FF_UNSUPPORTED)
			findings.Fail("capability " + std::to_string(capability) + " answered " + HexWord(answer) + ", not 0 or 1");
	}
	validation.minInputs = validation.module.GetPluginCaps(FF_CAP_MINIMUM_INPUT_FRAMES);
	validation.maxInputs = validation.module.GetPluginCaps(FF_CAP_MAXIMUM_INPUT_FRAMES);
	if (validation.minInputs == FF_FAIL || validation.maxInputs == FF_FAIL)
		findings.Fail("the input counts (capabilities 10 and 11) answered FF_FAIL");
	else if (validation.minInputs > validation.maxInputs)
		findings.Fail("minimum inputs " + std::to_string(validation.minInputs) + " exceed maximum inputs " +
			std::to_string(validation.maxInputs));
	else if (validation.maxInputs > 16)
		findings.Fail("maximum inputs " + std::to_string(validation.maxInputs) + " is not a plausible count");
	else if (validation.pluginType == FF_EFFECT && validation.minInputs < 1)
		findings.Warn("an effect that takes no input (minimum inputs 0)");
	else if (validation.pluginType == FF_SOURCE && validation.maxInputs != 0)
		findings.Warn("a source that takes " + std::to_string(validation.maxInputs) + " inputs");
	else if (validation.pluginType == FF_MIXER && validation.minInputs < 2)
		findings.Warn("a mixer with minimum inputs " + std::to_string(validation.minInputs));
	if (findings.Failed())
		validation.minInputs = validation.maxInputs = 0;
	validation.report.Add("capabilities", findings,
		"inputs " + std::to_string(validation.minInputs) + ".." + std::to_string(validation.maxInputs) +
			", capability answers 0 or 1");
}
void CheckDeinitialise(Validation& validation)
{
	Findings findings;
	if (const std::uint32_t result = validation.module.DeInitialise(); result != FF_SUCCESS)
		findings.Fail("code 2 answered " + HexWord(result));
	// A later query brings the module back, as after a host's re-scan.
	else if (const std::uint32_t again = validation.module.GetNumParameters(); again != validation.count)
		findings.Fail(
			"after code 2, code 4 answers " + HexWord(again) + " instead of " + std::to_string(validation.count));
	else if (validation.module.DeInitialise() != FF_SUCCESS)
		findings.Fail("a second code 2 failed");
	validation.report.Add("deinitialise", findings, "code 2 succeeds and the module answers again afterwards");
}

} // namespace ffgltool::validate
