#include "tools/InfoCommand.h"

#include "support/HeadlessGL.h"
#include "tools/Command.h"
#include "tools/CommandLine.h"
#include "tools/ModuleMemory.h"
#include "tools/PluginModule.h"
#include "tools/ReportText.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>

namespace ffgltool
{
namespace
{

// Bounds on texts read from a module: beyond these a text is taken as
// unterminated garbage.
constexpr std::size_t kMaxNameLength = 1024;
constexpr std::size_t kMaxLongTextLength = 64 * 1024;

// The viewport of the trial instance. Small: it only serves the display texts.
constexpr FFGLViewportStructTag kTrialViewport{ 0, 0, 64, 64 };

// The module answered something no plug-in may answer; the message says what.
class ModuleError : public std::runtime_error
{
public:
	using std::runtime_error::runtime_error;
};

// Reads a text the module handed out. Null gives nullText; an unreadable or
// unterminated text is nonsense.
std::string ReadText(const char* text, std::size_t maxLength, const std::string& what, const char* nullText)
{
	std::string read;
	const TextRead result = SafeReadText(text, maxLength, read);
	if (result == TextRead::Null && nullText != nullptr)
		return nullText;
	if (result != TextRead::Ok)
		throw ModuleError(what + " " + TextReadProblem(result, maxLength));
	return read;
}

std::string PluginTypeText(std::uint32_t type)
{
	const char* name = "unknown";
	switch (type)
	{
	case FF_EFFECT:
		name = "effect";
		break;
	case FF_SOURCE:
		name = "source";
		break;
	case FF_MIXER:
		name = "mixer";
		break;
	default:
		break;
	}
	return std::string(name) + " (" + std::to_string(type) + ")";
}

std::string ParamTypeText(std::uint32_t type)
{
	const char* name = "unknown";
	switch (type)
	{
	case FF_TYPE_BOOLEAN:
		name = "boolean";
		break;
	case FF_TYPE_EVENT:
		name = "event";
		break;
	case FF_TYPE_RED:
		name = "red";
		break;
	case FF_TYPE_GREEN:
		name = "green";
		break;
	case FF_TYPE_BLUE:
		name = "blue";
		break;
	case FF_TYPE_STANDARD:
		name = "standard";
		break;
	case FF_TYPE_OPTION:
		name = "option";
		break;
	case FF_TYPE_BUFFER:
		name = "buffer";
		break;
	case FF_TYPE_INTEGER:
		name = "integer";
		break;
	case FF_TYPE_FILE:
		name = "file";
		break;
	case FF_TYPE_TEXT:
		name = "text";
		break;
	case FF_TYPE_HUE:
		name = "hue";
		break;
	case FF_TYPE_SATURATION:
		name = "saturation";
		break;
	case FF_TYPE_BRIGHTNESS:
		name = "brightness";
		break;
	case FF_TYPE_ALPHA:
		name = "alpha";
		break;
	case FF_FAIL:
		return "FF_FAIL";
	default:
		break;
	}
	return std::string(name) + " (" + std::to_string(type) + ")";
}

std::string YesNoText(std::uint32_t answer)
{
	if (answer == FF_SUPPORTED)
		return "yes";
	if (answer == FF_UNSUPPORTED)
		return "no";
	return answer == FF_FAIL ? "FF_FAIL" : "? (" + std::to_string(answer) + ")";
}

std::string CountText(std::uint32_t answer)
{
	return answer == FF_FAIL ? "FF_FAIL" : std::to_string(answer);
}

struct Identity
{
	std::string id;
	std::string name;
	bool nameFillsField = false;
	std::uint32_t type = 0;
	std::uint32_t apiMajor = 0;
	std::uint32_t apiMinor = 0;
	bool hasExtendedInfo = false;
	std::uint32_t versionMajor = 0;
	std::uint32_t versionMinor = 0;
	std::string description;
	std::string about;
};

struct Parameter
{
	std::string name;
	std::string type;
	std::string defaultValue;
	std::string range;
	std::string display;
};

Identity ReadIdentity(const PluginModule& module)
{
	Identity identity;

	PluginInfoStructTag info{};
	std::string error;
	if (!module.CopyInfo(info, error))
		throw ModuleError(error);
	identity.id = FieldText(info.PluginUniqueID, sizeof info.PluginUniqueID);
	// A host reads the name from its 16-byte field and never past it: a name of
	// 16 characters or more fills the field without a terminator.
	identity.name = FieldText(info.PluginName, sizeof info.PluginName);
	identity.nameFillsField = identity.name.size() == sizeof info.PluginName;
	identity.type = info.PluginType;
	identity.apiMajor = info.APIMajorVersion;
	identity.apiMinor = info.APIMinorVersion;

	const PluginExtendedInfoStructTag* extendedPointer = module.GetExtendedInfo();
	if (extendedPointer != nullptr)
	{
		PluginExtendedInfoStructTag extended;
		if (!SafeCopy(extendedPointer, &extended, sizeof extended))
			throw ModuleError("the extended info record of code 13 points at unreadable memory");
		identity.hasExtendedInfo = true;
		identity.versionMajor = extended.PluginMajorVersion;
		identity.versionMinor = extended.PluginMinorVersion;
		identity.description = ReadText(extended.Description, kMaxLongTextLength, "the description text", "(none)");
		identity.about = ReadText(extended.About, kMaxLongTextLength, "the about text", "(none)");
	}
	return identity;
}

std::vector<Parameter> ReadParameters(const PluginModule& module)
{
	const std::uint32_t count = module.GetNumParameters();
	if (count == FF_FAIL)
		throw ModuleError("the module gives no parameter count (code 4 answered FF_FAIL)");
	if (count > kMaxParameters)
		throw ModuleError("the module claims " + std::to_string(count) + " parameters (code 4); more than " +
			std::to_string(kMaxParameters) + " is not a plausible count");

	std::vector<Parameter> parameters(count);
	for (std::uint32_t i = 0; i < count; ++i)
	{
		const std::string what = "parameter " + std::to_string(i);
		Parameter& parameter = parameters[i];
		parameter.name =
			ReadText(module.GetParameterName(i), kMaxNameLength, "the name of " + what + " (code 5)", nullptr);

		const std::uint32_t type = module.GetParameterType(i);
		parameter.type = ParamTypeText(type);

		const FFMixed defaultValue = module.GetParameterDefault(i);
		if (IsTextLikeParamType(type))
			parameter.defaultValue = "\"" +
				Printable(ReadText(static_cast<const char*>(defaultValue.PointerValue), kMaxLongTextLength,
					"the default text of " + what + " (code 6)", nullptr)) +
				"\"";
		else if (defaultValue.UIntValue == FF_FAIL)
			parameter.defaultValue = "FF_FAIL";
		else
			parameter.defaultValue = RoundedText(PluginModule::FloatFromBits(defaultValue.UIntValue));

		float min = 0.0f;
		float max = 0.0f;
		const std::uint32_t rangeResult = module.GetParamRange(i, min, max);
		parameter.range = rangeResult == FF_SUCCESS ? RoundedText(min) + ".." + RoundedText(max) : "FF_FAIL";
	}
	return parameters;
}

// Creates one instance and reads the display text of every parameter from it.
// Empty when that worked, else why the texts are unavailable.
std::string ReadDisplayTexts(const PluginModule& module, std::vector<Parameter>& parameters)
{
	// A host creates instances only with its GL context current, and modules
	// build their GL objects in code 18, so a headless context is current for
	// the instance's whole life. Without one the module is not asked: its
	// refusal would say nothing about the module.
	std::string glError;
	const std::unique_ptr<HeadlessGL> gl = HeadlessGL::Create(&glError);
	if (!gl)
		return "no headless OpenGL 4.1 context: " + glError;
	void* instance = module.Instantiate(kTrialViewport);
	if (instance == nullptr)
		return "the module created no instance (code 18 failed)";

	// The texts are owned by the instance and valid only until its next
	// display call, so each is copied at once. The instance is deleted on every
	// path; on the error path a second fault of the module is not reported.
	try
	{
		for (std::uint32_t i = 0; i < parameters.size(); ++i)
			parameters[i].display = Printable(ReadText(module.GetParameterDisplay(instance, i), kMaxNameLength,
				"the display text of parameter " + std::to_string(i) + " (code 7)", "(none)"));
	}
	catch (...)
	{
		try
		{
			module.DeInstantiate(instance);
		}
		catch (...)
		{
		}
		throw;
	}
	module.DeInstantiate(instance);
	return "";
}

void PrintReport(std::ostream& out, const std::string& path, const Identity& identity, const std::string* caps,
	const std::vector<Parameter>& parameters, const std::string& noDisplay)
{
	const bool haveDisplay = noDisplay.empty();
	out << "Module        " << path << '\n';
	out << "ID            " << Printable(identity.id) << '\n';
	out << "Name          " << Printable(identity.name);
	if (identity.nameFillsField)
		out << "  (fills the 16-byte name field, no terminator)";
	out << '\n';
	out << "Type          " << PluginTypeText(identity.type) << '\n';
	out << "API version   " << identity.apiMajor << '.' << identity.apiMinor << '\n';
	if (identity.hasExtendedInfo)
	{
		out << "Version       " << identity.versionMajor << '.' << identity.versionMinor << '\n';
		out << "Description   " << Printable(identity.description) << '\n';
		out << "About         " << Printable(identity.about) << '\n';
	}
	else
		out << "Version       (no extended info record: code 13 answered null)\n";

	out << "\nCapabilities\n";
	out << "  Set time                      " << caps[0] << '\n';
	out << "  Minimum inputs                " << caps[1] << '\n';
	out << "  Maximum inputs                " << caps[2] << '\n';
	out << "  Top-left texture orientation  " << caps[3] << '\n';

	out << "\nParameters (" << parameters.size() << ")\n";
	if (parameters.empty())
		return;

	std::vector<std::vector<std::string>> rows;
	rows.push_back({ "#", "Name", "Type", "Default", "Range" });
	if (haveDisplay)
		rows.front().push_back("Display");
	for (std::size_t i = 0; i < parameters.size(); ++i)
	{
		const Parameter& p = parameters[i];
		rows.push_back({ std::to_string(i), Printable(p.name), p.type, p.defaultValue, p.range });
		if (haveDisplay)
			rows.back().push_back(p.display);
	}
	std::vector<std::size_t> widths(rows.front().size(), 0);
	for (const auto& row : rows)
		for (std::size_t c = 0; c < row.size(); ++c)
			widths[c] = std::max(widths[c], row[c].size());
	for (const auto& row : rows)
	{
		std::string line = " ";
		for (std::size_t c = 0; c < row.size(); ++c)
		{
			line += ' ' + row[c];
			if (c + 1 < row.size())
				line += std::string(widths[c] - row[c].size() + 1, ' ');
		}
		out << line << '\n';
	}
	if (!haveDisplay)
		out << "  Display texts unavailable: " << noDisplay << '\n';
}

const char kInfoHelp[] =
	"usage: ffgl-host info MODULE\n"
	"\n"
	"Prints what a host sees of a plug-in module: its identity and version, its\n"
	"capabilities, and each parameter's name, type, default and range, with the\n"
	"display texts of one instance made on a headless OpenGL context. Numbers are\n"
	"shown as a host's slider shows them, to six significant digits.\n"
	"\n"
	"Exit status: 0 success, 1 the module cannot be loaded or answers nonsense,\n"
	"2 wrong usage, 3 the module crashed.\n";

} // namespace

int RunInfoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
	std::string path;
	CommandLine line("info", kInfoHelp);
	line.Positional("MODULE", path);
	if (const std::optional<int> status = line.Read(args, out, err))
		return *status;

	PluginModule module;
	std::string loadError;
	if (!module.Load(path, loadError))
	{
		PrintError(err, loadError);
		return kExitModuleError;
	}

	try
	{
		const Identity identity = ReadIdentity(module);

		const std::uint32_t initialised = module.Initialise();
		if (initialised != FF_SUCCESS)
			throw ModuleError("the module failed to initialise (code 34 answered " + HexWord(initialised) + ")");

		const std::string caps[4] = {
			YesNoText(module.GetPluginCaps(FF_CAP_SET_TIME)),
			CountText(module.GetPluginCaps(FF_CAP_MINIMUM_INPUT_FRAMES)),
			CountText(module.GetPluginCaps(FF_CAP_MAXIMUM_INPUT_FRAMES)),
			YesNoText(module.GetPluginCaps(FF_CAP_TOP_LEFT_TEXTURE_ORIENTATION)),
		};

		std::vector<Parameter> parameters = ReadParameters(module);
		const std::string noDisplay = ReadDisplayTexts(module, parameters);
		module.DeInitialise();

		PrintReport(out, path, identity, caps, parameters, noDisplay);
		out.flush();
	}
	catch (const std::exception& error)
	{
		// ModuleError and PluginFault: the module's fault, reported in one line.
		PrintError(err, path + ": " + error.what());
		return kExitModuleError;
	}
	module.Unload();
	return kExitSuccess;
}

} // namespace ffgltool
