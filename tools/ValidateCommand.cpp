#include "tools/ValidateCommand.h"

#include "ffglex/FFGLGL.h"
#include "support/HeadlessGL.h"
#include "tools/Command.h"
#include "tools/HostTexture.h"
#include "tools/LeakProbes.h"
#include "tools/ModuleMemory.h"
#include "tools/PluginModule.h"
#include "tools/ReportText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace ffgltool
{
namespace
{

// Bounds on texts read from the module: past these a text counts as
// unterminated.
constexpr std::size_t kMaxNameLength = 1024;
constexpr std::size_t kMaxLongTextLength = 64 * 1024;
// Hosts copy display texts into 16-byte fields: a longer text gets cut.
constexpr std::size_t kDisplayField = 16;
constexpr std::uint32_t kMaxElements = 4096;
// The extended data block is copied to check that it is readable; a size past
// this is taken as garbage, not allocated.
constexpr std::uint32_t kMaxExtendedData = 16u << 20;
constexpr unsigned int kMaxParametersChecked = 4096;
constexpr int kLeakCycles = 100;

constexpr GLint kFrameSize = 64;
constexpr FFGLViewportStructTag kViewport{ 0, 0, kFrameSize, kFrameSize };
// Painted into the host framebuffer before a frame that must draw nothing.
constexpr std::array<std::uint8_t, 4> kMarker{ 12, 34, 56, 78 };
constexpr std::uint8_t kCanary = 0xA5;

enum class Status
{
	Pass,
	Warn,
	Fail
};

const char* StatusText(Status status)
{
	switch (status)
	{
	case Status::Pass:
		return "PASS";
	case Status::Warn:
		return "WARN";
	case Status::Fail:
		return "FAIL";
	}
	return "?";
}

std::string JsonString(const std::string& text)
{
	std::string json = "\"";
	for (unsigned char c : text)
	{
		if (c == '"' || c == '\\')
		{
			json += '\\';
			json += static_cast<char>(c);
		}
		else if (c < 0x20 || c == 0x7F)
		{
			char escaped[7];
			std::snprintf(escaped, sizeof escaped, "\\u%04X", c);
			json += escaped;
		}
		else
			json += static_cast<char>(c);
	}
	return json + "\"";
}

bool IsKnownParamType(std::uint32_t type)
{
	switch (type)
	{
	case FF_TYPE_BOOLEAN:
	case FF_TYPE_EVENT:
	case FF_TYPE_RED:
	case FF_TYPE_GREEN:
	case FF_TYPE_BLUE:
	case FF_TYPE_STANDARD:
	case FF_TYPE_OPTION:
	case FF_TYPE_BUFFER:
	case FF_TYPE_INTEGER:
	case FF_TYPE_FILE:
	case FF_TYPE_TEXT:
	case FF_TYPE_HUE:
	case FF_TYPE_SATURATION:
	case FF_TYPE_BRIGHTNESS:
	case FF_TYPE_ALPHA:
		return true;
	default:
		return false;
	}
}

// Slider-like types whose host-side value is a fraction 0..1.
bool IsUnitParamType(std::uint32_t type)
{
	switch (type)
	{
	case FF_TYPE_STANDARD:
	case FF_TYPE_RED:
	case FF_TYPE_GREEN:
	case FF_TYPE_BLUE:
	case FF_TYPE_HUE:
	case FF_TYPE_SATURATION:
	case FF_TYPE_BRIGHTNESS:
	case FF_TYPE_ALPHA:
		return true;
	default:
		return false;
	}
}

bool SameFloat(float a, float b, float tolerance)
{
	if (std::isnan(a) || std::isnan(b))
		return std::isnan(a) && std::isnan(b);
	return std::fabs(a - b) <= tolerance;
}

// The problems one check found. The first failure (or, without one, the first
// warning) becomes the report's detail, with a count of the others.
class Findings
{
public:
	void Fail(const std::string& problem) { fails.push_back(problem); }
	void Warn(const std::string& problem) { warns.push_back(problem); }
	bool Failed() const { return !fails.empty(); }

	Status GetStatus() const { return !fails.empty() ? Status::Fail : !warns.empty() ? Status::Warn : Status::Pass; }
	std::string Detail(const std::string& passDetail) const
	{
		const std::vector<std::string>& list = !fails.empty() ? fails : warns;
		if (list.empty())
			return passDetail;
		std::string detail = list.front();
		const std::size_t others = fails.size() + warns.size() - 1;
		if (others > 0)
			detail += " (and " + std::to_string(others) + " more problem" + (others == 1 ? "" : "s") + ")";
		return detail;
	}

private:
	std::vector<std::string> fails;
	std::vector<std::string> warns;
};

struct CheckResult
{
	std::string check;
	Status status;
	std::string detail;
};

class Report
{
public:
	Report(std::ostream& out, bool json) : out(out), json(json) {}

	void Add(const std::string& check, Status status, const std::string& detail)
	{
		results.push_back({ check, status, detail });
		if (!json)
		{
			std::string name = check;
			name.resize(std::max<std::size_t>(name.size(), 22), ' ');
			// Flushed at once: a crash in a later check keeps what came before.
			out << StatusText(status) << "  " << name << "  " << detail << std::endl;
		}
	}
	void Add(const std::string& check, const Findings& findings, const std::string& passDetail)
	{
		Add(check, findings.GetStatus(), findings.Detail(passDetail));
	}

	int Count(Status status) const
	{
		return static_cast<int>(std::count_if(
			results.begin(), results.end(), [status](const CheckResult& r) { return r.status == status; }));
	}

	void Finish(const std::string& path)
	{
		const int pass = Count(Status::Pass);
		const int warn = Count(Status::Warn);
		const int fail = Count(Status::Fail);
		if (!json)
		{
			out << "\n"
				<< path << ": " << pass << " passed, " << warn << " warning" << (warn == 1 ? "" : "s") << ", " << fail
				<< " failed: " << (fail == 0 ? "PASS" : "FAIL") << std::endl;
			return;
		}
		out << "{\n  \"module\": " << JsonString(path) << ",\n  \"checks\": [";
		for (std::size_t i = 0; i < results.size(); ++i)
			out << (i == 0 ? "\n" : ",\n") << "    {\"check\": " << JsonString(results[i].check) << ", \"status\": \""
				<< StatusText(results[i].status) << "\", \"detail\": " << JsonString(results[i].detail) << "}";
		out << "\n  ],\n  \"summary\": {\"pass\": " << pass << ", \"warn\": " << warn << ", \"fail\": " << fail
			<< "},\n  \"result\": \"" << (fail == 0 ? "PASS" : "FAIL") << "\"\n}" << std::endl;
	}

private:
	std::ostream& out;
	bool json;
	std::vector<CheckResult> results;
};

// A text handed out by the module, checked: null, unreadable and unterminated
// texts are problems reported under what.
bool ReadModuleText(const char* text, std::size_t maxLength, const std::string& what, Findings& findings,
	std::string& read, bool nullIsFailure = true)
{
	const TextRead result = SafeReadText(text, maxLength, read);
	if (result != TextRead::Ok && (result != TextRead::Null || nullIsFailure))
		findings.Fail(what + " " + TextReadProblem(result, maxLength));
	return result == TextRead::Ok;
}

FFMixed NullArgument()
{
	FFMixed argument;
	argument.PointerValue = nullptr;
	return argument;
}

// --- GL and process probes ---------------------------------------------------

GLint Integer(GLenum name)
{
	GLint value = 0;
	glGetIntegerv(name, &value);
	return value;
}

// The state a plug-in must leave as it found it: bindings (texture units 0 to
// 7 and their samplers included), enables and the viewport.
struct GLState
{
	std::vector<std::pair<std::string, GLint>> values;

	static GLState Read()
	{
		GLState state;
		auto add = [&state](const std::string& what, GLint value) { state.values.emplace_back(what, value); };
		add("program", Integer(GL_CURRENT_PROGRAM));
		add("active texture unit", Integer(GL_ACTIVE_TEXTURE) - GL_TEXTURE0);
		const GLint active = Integer(GL_ACTIVE_TEXTURE);
		for (GLint unit = 0; unit < 8; ++unit)
		{
			glActiveTexture(GL_TEXTURE0 + unit);
			add("2D texture on unit " + std::to_string(unit), Integer(GL_TEXTURE_BINDING_2D));
			add("sampler on unit " + std::to_string(unit), Integer(GL_SAMPLER_BINDING));
		}
		glActiveTexture(static_cast<GLenum>(active));
		add("array buffer", Integer(GL_ARRAY_BUFFER_BINDING));
		add("uniform buffer", Integer(GL_UNIFORM_BUFFER_BINDING));
		add("pixel pack buffer", Integer(GL_PIXEL_PACK_BUFFER_BINDING));
		add("pixel unpack buffer", Integer(GL_PIXEL_UNPACK_BUFFER_BINDING));
		add("vertex array", Integer(GL_VERTEX_ARRAY_BINDING));
		add("renderbuffer", Integer(GL_RENDERBUFFER_BINDING));
		add("draw framebuffer", Integer(GL_DRAW_FRAMEBUFFER_BINDING));
		add("read framebuffer", Integer(GL_READ_FRAMEBUFFER_BINDING));
		add("GL_BLEND", glIsEnabled(GL_BLEND));
		add("GL_DEPTH_TEST", glIsEnabled(GL_DEPTH_TEST));
		add("GL_SCISSOR_TEST", glIsEnabled(GL_SCISSOR_TEST));
		add("GL_STENCIL_TEST", glIsEnabled(GL_STENCIL_TEST));
		add("GL_CULL_FACE", glIsEnabled(GL_CULL_FACE));
		GLint viewport[4] = { 0, 0, 0, 0 };
		glGetIntegerv(GL_VIEWPORT, viewport);
		add("viewport x", viewport[0]);
		add("viewport y", viewport[1]);
		add("viewport width", viewport[2]);
		add("viewport height", viewport[3]);
		add("pack alignment", Integer(GL_PACK_ALIGNMENT));
		add("unpack alignment", Integer(GL_UNPACK_ALIGNMENT));
		return state;
	}

	// The first difference from before, or empty.
	std::string DifferenceFrom(const GLState& before) const
	{
		for (std::size_t i = 0; i < values.size() && i < before.values.size(); ++i)
			if (values[i].second != before.values[i].second)
				return values[i].first + " is " + std::to_string(values[i].second) + ", was " +
					std::to_string(before.values[i].second);
		return {};
	}
};

GLuint MakeInputTexture(std::uint8_t level)
{
	const std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kFrameSize) * kFrameSize * 4, level);
	return CreateInputTexture(kFrameSize, kFrameSize, pixels.data(), GL_NEAREST);
}

// --- The checks --------------------------------------------------------------

struct ParameterFacts
{
	std::uint32_t type = FF_FAIL;
	bool textLike = false;
	float defaultValue = 0.0f;
	std::string defaultText;
	float min = 0.0f;
	float max = 1.0f;
};

// One frame's inputs, built from the host's textures.
struct FrameInputs
{
	std::vector<FFGLTextureStructTag> textures;
	std::vector<FFGLTextureStructTag*> pointers;
	ProcessOpenGLStructTag record{};
};

class Validator
{
public:
	Validator(PluginModule& module, Report& report) : module(module), report(report) {}

	void Run()
	{
		if (!CheckIdentity())
			return;
		CheckExtendedInfo();
		if (!CheckInitialise())
			return;
		CheckCapabilities();
		if (!CheckParameterCount())
			return;
		CheckParameterDefinitions();
		CheckParameterElements();
		CheckUnregisteredParameter();
		RunInstanceChecks();
		CheckDeinitialise();
	}

private:
	// --- Identity and global queries ---

	bool CheckIdentity()
	{
		Findings findings;
		PluginInfoStructTag info{};
		std::string error;
		if (!module.CopyInfo(info, error))
		{
			report.Add("identity", Status::Fail, error);
			return false;
		}

		std::string id(info.PluginUniqueID, sizeof info.PluginUniqueID);
		const bool idPrintable = std::all_of(id.begin(), id.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
		if (!idPrintable)
			findings.Fail("the ID \"" + Printable(id) + "\" is not four printable characters");
		const std::string name = FieldText(info.PluginName, sizeof info.PluginName);
		if (name.empty())
			findings.Fail("the name field is empty");
		else if (!std::all_of(name.begin(), name.end(),
					 [](char c) { return static_cast<unsigned char>(c) >= 0x20 && c != 0x7F; }))
			findings.Fail("the name \"" + Printable(name) + "\" holds control characters");
		if (info.APIMajorVersion != 2)
			findings.Fail("API version " + std::to_string(info.APIMajorVersion) + "." +
				std::to_string(info.APIMinorVersion) + " is not 2.x");
		else if (info.APIMinorVersion < 1)
			findings.Warn("API version 2." + std::to_string(info.APIMinorVersion) + " is older than 2.1");
		if (info.PluginType != FF_EFFECT && info.PluginType != FF_SOURCE && info.PluginType != FF_MIXER)
			findings.Fail("plug-in type " + std::to_string(info.PluginType) + " is not effect, source or mixer");
		pluginType = info.PluginType;

		static const char* const kTypes[] = { "effect", "source", "mixer" };
		const std::string typeText = info.PluginType <= 2 ? kTypes[info.PluginType] : std::to_string(info.PluginType);
		report.Add("identity", findings,
			"ID \"" + Printable(id) + "\", name \"" + Printable(name) + "\"" +
				(name.size() == sizeof info.PluginName ? " (fills its 16-byte field)" : "") + ", " + typeText +
				", API " + std::to_string(info.APIMajorVersion) + "." + std::to_string(info.APIMinorVersion));
		return true;
	}

	void CheckExtendedInfo()
	{
		Findings findings;
		const PluginExtendedInfoStructTag* pointer = module.GetExtendedInfo();
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
		report.Add("extended-info", findings,
			"version " + std::to_string(extended.PluginMajorVersion) + "." +
				std::to_string(extended.PluginMinorVersion) + ", description and about texts terminated");
	}

	bool CheckInitialise()
	{
		Findings findings;
		const std::uint32_t first = module.Initialise();
		if (first != FF_SUCCESS)
			findings.Fail("code 34 answered " + HexWord(first));
		else if (const std::uint32_t second = module.Initialise(); second != FF_SUCCESS)
			findings.Fail("a second code 34 answered " + HexWord(second));
		report.Add("initialise", findings, "code 34 succeeds, also when repeated");
		return !findings.Failed();
	}

	void CheckCapabilities()
	{
		Findings findings;
		for (std::uint32_t capability : { FF_CAP_SET_TIME, FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION })
		{
			const std::uint32_t answer = module.GetPluginCaps(capability);
			if (answer != FF_SUPPORTED && answer != FF_UNSUPPORTED)
				findings.Fail(
					"capability " + std::to_string(capability) + " answered " + HexWord(answer) + ", not 0 or 1");
		}
		minInputs = module.GetPluginCaps(FF_CAP_MINIMUM_INPUT_FRAMES);
		maxInputs = module.GetPluginCaps(FF_CAP_MAXIMUM_INPUT_FRAMES);
		if (minInputs == FF_FAIL || maxInputs == FF_FAIL)
			findings.Fail("the input counts (capabilities 10 and 11) answered FF_FAIL");
		else if (minInputs > maxInputs)
			findings.Fail(
				"minimum inputs " + std::to_string(minInputs) + " exceed maximum inputs " + std::to_string(maxInputs));
		else if (maxInputs > 16)
			findings.Fail("maximum inputs " + std::to_string(maxInputs) + " is not a plausible count");
		else if (pluginType == FF_EFFECT && minInputs < 1)
			findings.Warn("an effect that takes no input (minimum inputs 0)");
		else if (pluginType == FF_SOURCE && maxInputs != 0)
			findings.Warn("a source that takes " + std::to_string(maxInputs) + " inputs");
		else if (pluginType == FF_MIXER && minInputs < 2)
			findings.Warn("a mixer with minimum inputs " + std::to_string(minInputs));
		if (findings.Failed())
			minInputs = maxInputs = 0;
		report.Add("capabilities", findings,
			"inputs " + std::to_string(minInputs) + ".." + std::to_string(maxInputs) + ", capability answers 0 or 1");
	}

	bool CheckParameterCount()
	{
		Findings findings;
		count = module.GetNumParameters();
		if (count == FF_FAIL)
			findings.Fail("code 4 answered FF_FAIL");
		else if (count > kMaxParametersChecked)
			findings.Fail("code 4 claims " + std::to_string(count) + " parameters, more than " +
				std::to_string(kMaxParametersChecked) + " is not plausible");
		report.Add("parameter-count", findings, std::to_string(count) + " parameters");
		return !findings.Failed();
	}

	void CheckParameterDefinitions()
	{
		Findings findings;
		parameters.assign(count, ParameterFacts{});
		std::set<std::string> names;
		for (std::uint32_t i = 0; i < count; ++i)
		{
			const std::string what = "parameter " + std::to_string(i);
			ParameterFacts& facts = parameters[i];

			std::string name;
			if (ReadModuleText(
					module.GetParameterName(i), kMaxNameLength, "the name of " + what + " (code 5)", findings, name))
			{
				if (name.empty())
					findings.Warn(what + " has an empty name");
				else if (!names.insert(name).second)
					findings.Warn(what + " repeats the name \"" + Printable(name) + "\"");
			}

			facts.type = module.GetParameterType(i);
			facts.textLike = IsTextLikeParamType(facts.type);
			if (!IsKnownParamType(facts.type))
				findings.Fail(what + " has the type " + HexWord(facts.type) + " (code 15), which is no parameter type");

			const FFMixed defaultValue = module.GetParameterDefault(i);
			if (facts.textLike)
				ReadModuleText(static_cast<const char*>(defaultValue.PointerValue), kMaxLongTextLength,
					"the default text of " + what + " (code 6)", findings, facts.defaultText);
			else
			{
				facts.defaultValue = PluginModule::FloatFromBits(defaultValue.UIntValue);
				if (defaultValue.UIntValue == FF_FAIL)
					findings.Fail("the default of " + what + " (code 6) is FF_FAIL");
				else if (!std::isfinite(facts.defaultValue))
					findings.Fail("the default of " + what + " (code 6) is " + RealText(facts.defaultValue));
				else if (facts.type == FF_TYPE_STANDARD && (facts.defaultValue < 0.0f || facts.defaultValue > 1.0f))
					findings.Fail("the default " + RealText(facts.defaultValue) + " of the standard slider " + what +
						" lies outside 0..1");
				else if (facts.type == FF_TYPE_BOOLEAN && facts.defaultValue != 0.0f && facts.defaultValue != 1.0f)
					findings.Warn("the boolean " + what + " defaults to " + RealText(facts.defaultValue));
			}

			if (module.GetParamRange(i, facts.min, facts.max) != FF_SUCCESS)
				findings.Fail("code 41 refused the range of " + what);
			else if (!std::isfinite(facts.min) || !std::isfinite(facts.max) || facts.min > facts.max)
				findings.Fail("the range of " + what + " is " + RealText(facts.min) + ".." + RealText(facts.max));
			else if (!facts.textLike && facts.type != FF_TYPE_BUFFER && std::isfinite(facts.defaultValue) &&
				(facts.defaultValue < facts.min || facts.defaultValue > facts.max))
				findings.Warn("the default " + RealText(facts.defaultValue) + " of " + what +
					" lies outside its range " + RealText(facts.min) + ".." + RealText(facts.max));

			const std::uint32_t usage = module.GetParameterUsage(i);
			if (usage != FF_USAGE_STANDARD && usage != FF_USAGE_FFT)
				findings.Fail("the usage of " + what + " (code 32) is " + HexWord(usage));
			else if (usage == FF_USAGE_FFT && facts.type != FF_TYPE_BUFFER)
				findings.Warn(what + " has FFT usage but is no buffer parameter");

			const std::uint32_t visibility = module.GetParameterVisibility(i);
			if (visibility != 0 && visibility != 1)
				findings.Fail("the visibility of " + what + " (code 45) is " + HexWord(visibility));

			CheckHostBufferWrite(findings, what + " group (code 50)",
				[this, i](char* buffer, std::uint32_t size) { return module.GetParamGroup(i, buffer, size); });

			const std::uint32_t extensions = module.GetNumFileParameterExtensions(i);
			if (extensions == FF_FAIL || extensions > 1024)
				findings.Fail("code 43 answers " + HexWord(extensions) + " file extensions for " + what);
			else
				for (std::uint32_t e = 0; e < extensions; ++e)
				{
					std::string extension;
					ReadModuleText(module.GetFileParameterExtension(i, e), kMaxNameLength,
						"file extension " + std::to_string(e) + " of " + what + " (code 44)", findings, extension);
				}
		}
		report.Add("parameter-definitions", findings,
			std::to_string(count) +
				" parameters: names, types, defaults, ranges, usage, visibility, groups consistent");
	}

	void CheckParameterElements()
	{
		Findings findings;
		for (std::uint32_t i = 0; i < count; ++i)
		{
			const std::string what = "parameter " + std::to_string(i);
			const std::uint32_t elements = module.GetNumParameterElements(i);
			if (elements == FF_FAIL)
			{
				findings.Fail("code 31 answers FF_FAIL for the registered " + what);
				continue;
			}
			if (elements > kMaxElements)
			{
				findings.Fail(what + " claims " + std::to_string(elements) + " elements (code 31)");
				continue;
			}
			if (parameters[i].type == FF_TYPE_OPTION && elements == 0)
				findings.Fail("the option " + what + " has no elements to choose from");
			for (std::uint32_t e = 0; e < elements; ++e)
			{
				const std::string element = "element " + std::to_string(e) + " of " + what;
				std::string name;
				ReadModuleText(module.GetParameterElementName(i, e), kMaxNameLength,
					"the name of " + element + " (code 35)", findings, name, parameters[i].type == FF_TYPE_OPTION);
				if (module.GetParameterElementValue(i, e) == FF_FAIL)
					findings.Fail("code 36 answers FF_FAIL for " + element);
			}
			if (module.GetParameterElementName(i, elements) != nullptr)
				findings.Fail(
					"code 35 names element " + std::to_string(elements) + " of " + what + ", past its element count");
			if (module.GetParameterElementValue(i, elements) != FF_FAIL)
				findings.Fail("code 36 gives a value for element " + std::to_string(elements) + " of " + what +
					", past its element count");

			const std::uint32_t separators = module.GetNumElementSeparators(i);
			if (separators > kMaxElements)
				findings.Fail(what + " claims " + std::to_string(separators) + " element separators (code 47)");
			else
			{
				for (std::uint32_t s = 0; s < separators; ++s)
					if (module.GetElementSeparatorElementIndex(i, s) == FF_FAIL)
						findings.Fail("code 48 answers FF_FAIL for separator " + std::to_string(s) + " of " + what);
				if (module.GetElementSeparatorElementIndex(i, separators) != FF_FAIL)
					findings.Fail("code 48 answers for separator " + std::to_string(separators) + " of " + what +
						", past its separator count");
			}
		}
		report.Add("parameter-elements", findings, "element counts, names and values consistent");
	}

	// Past the count the module must not answer as if a parameter were there.
	void CheckUnregisteredParameter()
	{
		Findings findings;
		for (std::uint32_t index : { count, count + 1, std::numeric_limits<std::uint32_t>::max() })
		{
			if (index < count)
				continue; // wrapped around
			const std::string what = "parameter " + std::to_string(index);
			if (module.GetParameterName(index) != nullptr)
				findings.Fail("code 5 names " + what + ", past the count of " + std::to_string(count));
			if (module.GetParameterType(index) != FF_FAIL)
				findings.Fail("code 15 gives a type for " + what + ", past the count");
			if (module.GetParameterDefault(index).UIntValue != FF_FAIL)
				findings.Fail("code 6 gives a default for " + what + ", past the count");
			if (module.GetNumParameterElements(index) != FF_FAIL)
				findings.Fail("code 31 gives an element count for " + what + ", past the count");
			if (module.GetParameterUsage(index) != FF_FAIL)
				findings.Fail("code 32 gives a usage for " + what + ", past the count");
			if (module.GetParameterVisibility(index) != FF_FAIL)
				findings.Fail("code 45 gives a visibility for " + what + ", past the count");
		}
		report.Add("unregistered-parameter", findings, "codes 5, 6, 15, 31, 32 and 45 refuse numbers past the count");
	}

	// A host buffer with canary bytes behind it: the module may write at most
	// size bytes. Tried with sizes 0, 1, 4 and 64.
	template <typename Write>
	void CheckHostBufferWrite(Findings& findings, const std::string& what, Write write)
	{
		for (std::uint32_t size : { 0u, 1u, 4u, 64u })
		{
			std::vector<char> buffer(size + 16, static_cast<char>(kCanary));
			const std::uint32_t result = write(buffer.data(), size);
			if (result != FF_SUCCESS && result != FF_FAIL)
				findings.Fail(what + " answered " + HexWord(result) + " with maxToWrite " + std::to_string(size));
			for (std::size_t b = size; b < buffer.size(); ++b)
				if (buffer[b] != static_cast<char>(kCanary))
				{
					findings.Fail(what + " wrote past maxToWrite " + std::to_string(size));
					break;
				}
		}
	}

	// --- Instances ---

	void RunInstanceChecks()
	{
		std::string error;
		std::unique_ptr<HeadlessGL> gl = HeadlessGL::Create(&error);
		if (!gl)
		{
			report.Add("gl-context", Status::Warn,
				"no headless OpenGL 4.1 context (" + error + "): instance and frame checks skipped");
			return;
		}
		output = gl->CreateHostFramebuffer(kFrameSize, kFrameSize);
		if (!output.IsValid())
		{
			report.Add("gl-context", Status::Warn, "no host framebuffer: instance and frame checks skipped");
			return;
		}
		inputTextures[0] = MakeInputTexture(96);
		inputTextures[1] = MakeInputTexture(200);

		if (CheckInstantiate())
		{
			void* instance = module.Instantiate(kViewport);
			if (instance != nullptr)
			{
				CheckInstanceDefaults(instance);
				CheckDisplayTexts(instance);
				CheckRoundTrips(instance);
				CheckInstanceHostBuffers(instance);
				CheckHostStateCalls(instance);
				CheckRefusedFrames(instance);
				CheckFrames(instance);
				DeInstantiate(instance);
			}
			CheckLifecycleLeaks();
		}

		glDeleteTextures(2, inputTextures);
		HeadlessGL::DeleteHostFramebuffer(output);
	}

	void DeInstantiate(void* instance)
	{
		HeadlessGL::BindHostFramebuffer(output);
		module.DeInstantiate(instance);
	}

	bool CheckInstantiate()
	{
		Findings findings;
		HeadlessGL::BindHostFramebuffer(output);
		const FFMixed refused = module.Call(FF_INSTANTIATE_GL, NullArgument(), nullptr);
		const auto refusedBits = reinterpret_cast<std::uintptr_t>(refused.PointerValue);
		if (refusedBits != FF_FAIL && refusedBits != 0)
		{
			findings.Fail("code 18 with a null viewport created an instance");
			DeInstantiate(refused.PointerValue);
		}

		void* first = module.Instantiate(kViewport);
		void* second = first != nullptr ? module.Instantiate(kViewport) : nullptr;
		if (first == nullptr)
			findings.Fail("code 18 refused a 64x64 viewport");
		else if (second == nullptr)
			findings.Fail("code 18 refused a second instance while the first lives");
		else if (second == first)
			findings.Fail("code 18 gave the same handle twice");
		for (void* instance : { second, first })
			if (instance != nullptr)
			{
				HeadlessGL::BindHostFramebuffer(output);
				if (const std::uint32_t result = module.DeInstantiate(instance); result != FF_SUCCESS)
					findings.Fail("code 19 answered " + HexWord(result));
			}
		report.Add("instantiate", findings, "two instances created and deleted; a null viewport refused");
		return first != nullptr;
	}

	void CheckInstanceDefaults(void* instance)
	{
		Findings findings;
		for (std::uint32_t i = 0; i < count; ++i)
		{
			const ParameterFacts& facts = parameters[i];
			const std::string what = "parameter " + std::to_string(i);
			const FFMixed value = module.GetParameter(instance, i);
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
		report.Add("instance-defaults", findings, "a new instance holds every default (code 9)");
	}

	// Reads the display text of parameter i into findings' judgement.
	void CheckDisplayText(void* instance, std::uint32_t i, const std::string& context, Findings& findings)
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

	void CheckDisplayTexts(void* instance)
	{
		Findings findings;
		for (std::uint32_t i = 0; i < count; ++i)
			CheckDisplayText(instance, i, "", findings);
		CheckDisplayText(instance, count, " (past the count)", findings);
		report.Add("display-texts", findings, "every display text terminated within 16 bytes");
	}

	void CheckRoundTrips(void* instance)
	{
		static const float kEdges[] = { 0.0f, 1.0f, 0.5f, -1.0f, 2.0f, std::numeric_limits<float>::quiet_NaN(),
			std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity() };
		const std::string longText(300, 'x');
		const char* const kTexts[] = { "", "a", "\xC3\xA9t\xC3\xA9", longText.c_str() };

		Findings findings;
		for (std::uint32_t i = 0; i < count; ++i)
		{
			const ParameterFacts& facts = parameters[i];
			const std::string what = "parameter " + std::to_string(i);
			if (facts.textLike)
			{
				for (const char* text : kTexts)
				{
					const std::uint32_t result = module.SetTextParameter(instance, i, text);
					std::string read;
					if (ReadModuleText(static_cast<const char*>(module.GetParameter(instance, i).PointerValue),
							kMaxLongTextLength, "the value of " + what + " (code 9)", findings, read, false) &&
						result == FF_SUCCESS && read != text)
						findings.Warn(what + " reads back \"" + Printable(read.substr(0, 40)) + "\" after a set of \"" +
							Printable(std::string(text).substr(0, 40)) + "\"");
					CheckDisplayText(instance, i, " after a text set", findings);
				}
				module.SetTextParameter(instance, i, facts.defaultText.c_str());
				continue;
			}
			for (float value : kEdges)
			{
				const std::uint32_t result = module.SetFloatParameter(instance, i, value);
				if (result != FF_SUCCESS && result != FF_FAIL)
					findings.Fail("code 8 answered " + HexWord(result) + " for " + what);
				const float read = PluginModule::FloatFromBits(module.GetParameter(instance, i).UIntValue);
				const bool plainValue = value == 0.0f || value == 0.5f || value == 1.0f;
				if (result == FF_SUCCESS && plainValue && IsUnitParamType(facts.type) && !SameFloat(read, value, 1e-4f))
					findings.Warn(what + " reads back " + RealText(read) + " after a set of " + RealText(value));
				if (result == FF_SUCCESS && IsUnitParamType(facts.type) &&
					(std::isnan(read) || read < facts.min || read > facts.max))
					findings.Warn(what + " keeps " + RealText(read) + " after a set of " + RealText(value) +
						", outside its range " + RealText(facts.min) + ".." + RealText(facts.max));
				CheckDisplayText(instance, i, " after a set of " + RealText(value), findings);
			}
			module.SetFloatParameter(instance, i, facts.defaultValue);
		}
		for (std::uint32_t index : { count, std::numeric_limits<std::uint32_t>::max() })
			if (index >= count && module.SetFloatParameter(instance, index, 0.5f) == FF_SUCCESS)
				findings.Warn("code 8 accepts parameter " + std::to_string(index) + ", past the count");
		report.Add("set-get-round-trips", findings,
			"0, 1, 0.5, -1, 2, NaN and infinities set and read back, display texts terminated");
	}

	void CheckInstanceHostBuffers(void* instance)
	{
		Findings findings;
		for (std::uint32_t i = 0; i <= count; ++i)
			CheckHostBufferWrite(findings, "the display name of parameter " + std::to_string(i) + " (code 51)",
				[this, instance, i](char* buffer, std::uint32_t size)
				{ return module.GetParamDisplayName(instance, i, buffer, size); });

		GetParamEventsStructTag pending{ 0, nullptr };
		if (module.GetParamEvents(instance, pending) != FF_SUCCESS)
			findings.Fail("code 46 refused to count the pending parameter events");
		else if (pending.numEvents > count)
			findings.Fail("code 46 counts " + std::to_string(pending.numEvents) + " pending events for " +
				std::to_string(count) + " parameters");
		for (std::uint32_t capacity : { 0u, 1u, 4u })
		{
			std::vector<std::uint8_t> storage((capacity + 1) * sizeof(ParamEventStructTag), kCanary);
			GetParamEventsStructTag request{ capacity, reinterpret_cast<ParamEventStructTag*>(storage.data()) };
			module.GetParamEvents(instance, request);
			if (request.numEvents > capacity)
				findings.Fail("code 46 reports " + std::to_string(request.numEvents) +
					" events written into room for " + std::to_string(capacity));
			if (std::any_of(storage.begin() + static_cast<std::ptrdiff_t>(capacity * sizeof(ParamEventStructTag)),
					storage.end(), [](std::uint8_t b) { return b != kCanary; }))
				findings.Fail("code 46 wrote past an event array of capacity " + std::to_string(capacity));
		}
		report.Add("host-buffers", findings, "codes 50, 51 and 46 write within the room the host gives");
	}

	// Host state and the remaining instance codes: any answer but a crash is
	// acceptable, as long as it is a status.
	void CheckHostStateCalls(void* instance)
	{
		Findings findings;
		const auto status = [&findings](const char* what, std::uint32_t result)
		{
			if (result != FF_SUCCESS && result != FF_FAIL)
				findings.Fail(std::string(what) + " answered " + HexWord(result));
		};
		status("code 20 (time 0)", module.SetTime(instance, 0.0));
		status("code 20 (time NaN)", module.SetTime(instance, std::numeric_limits<double>::quiet_NaN()));
		status("code 20 (time 1e12)", module.SetTime(instance, 1e12));
		status("code 38", module.SetBeatInfo(instance, 0.0f, std::numeric_limits<float>::infinity()));
		status("code 38", module.SetBeatInfo(instance, 120.0f, 0.5f));
		status("code 39", module.SetHostInfo(instance, "ffgl-host validate", "1.0"));
		status("code 40", module.SetSampleRate(instance, 0));
		status("code 40", module.SetSampleRate(instance, 48000));
		status("code 21", module.Connect(instance));
		status("code 22", module.Disconnect(instance));
		HeadlessGL::BindHostFramebuffer(output);
		status("code 23 (0x0)", module.Resize(instance, FFGLViewportStructTag{ 0, 0, 0, 0 }));
		status("code 23", module.Resize(instance, kViewport));
		for (std::uint32_t input = 0; input <= maxInputs + 1; ++input)
		{
			const std::uint32_t answer = module.GetInputStatus(instance, input);
			if (input >= maxInputs && answer != FF_FAIL)
				findings.Warn("code 16 answers " + HexWord(answer) + " for input " + std::to_string(input) +
					", past the maximum of " + std::to_string(maxInputs));
		}
		status("code 49", module.EnablePluginCap(instance, FF_CAP_SET_TIME));
		report.Add("host-state-calls", findings, "codes 16, 20, 21, 22, 23, 38, 39, 40 and 49 answer a status");
	}

	FrameInputs Inputs(std::uint32_t numInputs) const
	{
		FrameInputs inputs;
		inputs.textures.resize(numInputs);
		for (std::uint32_t t = 0; t < numInputs; ++t)
			inputs.textures[t] =
				FFGLTextureStructTag{ kFrameSize, kFrameSize, kFrameSize, kFrameSize, inputTextures[t % 2] };
		for (FFGLTextureStructTag& texture : inputs.textures)
			inputs.pointers.push_back(&texture);
		inputs.record.numInputTextures = numInputs;
		inputs.record.inputTextures = numInputs > 0 ? inputs.pointers.data() : nullptr;
		inputs.record.HostFBO = output.framebuffer;
		return inputs;
	}

	// Runs one frame with the host framebuffer bound and filled with the
	// marker; reports a GL state left changed. Returns the result of code 17
	// and whether every pixel still holds the marker.
	std::uint32_t Frame(void* instance, ProcessOpenGLStructTag& record, const std::string& what,
		Findings& stateFindings, bool& untouched)
	{
		HeadlessGL::BindHostFramebuffer(output);
		glClearColor(kMarker[0] / 255.0f, kMarker[1] / 255.0f, kMarker[2] / 255.0f, kMarker[3] / 255.0f);
		glClear(GL_COLOR_BUFFER_BIT);
		glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
		const GLState before = GLState::Read();
		const std::uint32_t result = module.ProcessOpenGL(instance, record);
		const std::string changed = GLState::Read().DifferenceFrom(before);
		if (!changed.empty())
			stateFindings.Fail("after " + what + ": " + changed);

		HeadlessGL::BindHostFramebuffer(output);
		std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kFrameSize) * kFrameSize * 4);
		glReadPixels(0, 0, kFrameSize, kFrameSize, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
		untouched = true;
		for (std::size_t p = 0; p < pixels.size(); p += 4)
			if (!std::equal(kMarker.begin(), kMarker.end(), pixels.begin() + static_cast<std::ptrdiff_t>(p)))
			{
				untouched = false;
				break;
			}
		return result;
	}

	void CheckRefusedFrames(void* instance)
	{
		Findings findings;
		if (minInputs == 0)
		{
			report.Add("frames-refused", Status::Pass, "not applicable: the module needs no input");
			return;
		}
		const auto expectRefusal = [&](ProcessOpenGLStructTag& record, const std::string& what)
		{
			bool untouched = true;
			const std::uint32_t result = Frame(instance, record, what, stateFindings, untouched);
			if (result != FF_FAIL)
				findings.Fail(what + " was not refused (code 17 answered " + HexWord(result) + ")");
			if (!untouched)
				findings.Fail(what + " drew into the host framebuffer");
		};

		FrameInputs none = Inputs(0);
		expectRefusal(none.record, "a frame without inputs");
		if (minInputs > 1)
		{
			FrameInputs few = Inputs(minInputs - 1);
			expectRefusal(few.record,
				"a frame with " + std::to_string(minInputs - 1) + " of " + std::to_string(minInputs) + " inputs");
		}
		FrameInputs nullArray = Inputs(minInputs);
		nullArray.record.inputTextures = nullptr;
		expectRefusal(nullArray.record, "a frame with a null input array");
		for (std::uint32_t slot = 0; slot < minInputs; ++slot)
		{
			FrameInputs nullEntry = Inputs(minInputs);
			nullEntry.pointers[slot] = nullptr;
			expectRefusal(nullEntry.record, "a frame with input " + std::to_string(slot) + " null");
		}
		HeadlessGL::BindHostFramebuffer(output);
		if (module.CallForCode(FF_PROCESS_OPENGL, NullArgument(), instance) != FF_FAIL)
			findings.Fail("a null frame record was not refused");
		report.Add("frames-refused", findings, "frames with too few or null inputs refused without drawing");
	}

	void CheckFrames(void* instance)
	{
		Findings findings;
		for (int frame = 0; frame < 3; ++frame)
		{
			module.SetTime(instance, frame / 60.0);
			FrameInputs inputs = Inputs(std::max<std::uint32_t>(minInputs, maxInputs > 0 ? 1 : 0));
			bool untouched = true;
			const std::uint32_t result = Frame(instance, inputs.record, "a frame", stateFindings, untouched);
			if (result != FF_SUCCESS)
				findings.Fail("a well-formed frame with " + std::to_string(inputs.record.numInputTextures) +
					" inputs was refused (code 17 answered " + HexWord(result) + ")");
		}
		// Also the viewport edge: a host may resize to nothing and back.
		HeadlessGL::BindHostFramebuffer(output);
		module.Resize(instance, FFGLViewportStructTag{ 0, 0, 1, 1 });
		FrameInputs inputs = Inputs(std::max<std::uint32_t>(minInputs, maxInputs > 0 ? 1 : 0));
		bool untouched = true;
		Frame(instance, inputs.record, "a frame after a resize to 1x1", stateFindings, untouched);
		HeadlessGL::BindHostFramebuffer(output);
		module.Resize(instance, kViewport);
		report.Add("frames", findings, "well-formed frames succeed");
		report.Add("gl-state", stateFindings, "bindings, enables, viewport and pixel store as found after every frame");
	}

	void CheckLifecycleLeaks()
	{
		Findings findings;
		const std::uint32_t numInputs = std::max<std::uint32_t>(minInputs, maxInputs > 0 ? 1 : 0);
		const auto cycle = [&]()
		{
			void* instance = module.Instantiate(kViewport);
			if (instance == nullptr)
				return false;
			FrameInputs inputs = Inputs(numInputs);
			HeadlessGL::BindHostFramebuffer(output);
			module.ProcessOpenGL(instance, inputs.record);
			DeInstantiate(instance);
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
		report.Add("lifecycle-leaks", findings,
			std::to_string(kLeakCycles) +
				" cycles of instantiate, frame, deinstantiate: no GL object or file descriptor left over");
	}

	void CheckDeinitialise()
	{
		Findings findings;
		if (const std::uint32_t result = module.DeInitialise(); result != FF_SUCCESS)
			findings.Fail("code 2 answered " + HexWord(result));
		// A later query brings the module back, as after a host's re-scan.
		else if (const std::uint32_t again = module.GetNumParameters(); again != count)
			findings.Fail("after code 2, code 4 answers " + HexWord(again) + " instead of " + std::to_string(count));
		else if (module.DeInitialise() != FF_SUCCESS)
			findings.Fail("a second code 2 failed");
		report.Add("deinitialise", findings, "code 2 succeeds and the module answers again afterwards");
	}

	PluginModule& module;
	Report& report;
	std::uint32_t pluginType = FF_EFFECT;
	std::uint32_t minInputs = 0;
	std::uint32_t maxInputs = 0;
	std::uint32_t count = 0;
	std::vector<ParameterFacts> parameters;
	HeadlessGL::Framebuffer output;
	GLuint inputTextures[2] = { 0, 0 };
	Findings stateFindings;
};

int Usage(std::ostream& err)
{
	PrintError(err, std::string("usage: ") + kProgramName + " validate [--json] MODULE");
	return kExitUsage;
}

} // namespace

int RunValidateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
	bool json = false;
	std::string path;
	for (const std::string& arg : args)
	{
		if (arg == "--json")
			json = true;
		else if (arg.empty() || arg[0] == '-' || !path.empty())
			return Usage(err);
		else
			path = arg;
	}
	if (path.empty())
		return Usage(err);

	Report report(out, json);
	PluginModule module;
	std::string loadError;
	if (!module.Load(path, loadError))
	{
		report.Add("load", Status::Fail, loadError);
		report.Finish(path);
		return kExitModuleError;
	}
	report.Add("load", Status::Pass, "plugMain found");

	Validator validator(module, report);
	try
	{
		validator.Run();
	}
	catch (const PluginFault& fault)
	{
		report.Add("exception", Status::Fail, fault.what());
	}
	report.Finish(path);
	module.Unload();
	return report.Count(Status::Fail) == 0 ? kExitSuccess : kExitModuleError;
}

} // namespace ffgltool
