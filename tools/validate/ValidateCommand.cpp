#include "tools/validate/ValidateCommand.h"

#include "support/HeadlessGL.h"
#include "tools/Command.h"
#include "tools/CommandLine.h"
#include "tools/PluginModule.h"
#include "tools/validate/FrameChecks.h"
#include "tools/validate/FrameRig.h"
#include "tools/validate/InstanceChecks.h"
#include "tools/validate/LeakCheck.h"
#include "tools/validate/ModuleChecks.h"
#include "tools/validate/ParameterChecks.h"
#include "tools/validate/Validation.h"
#include "tools/validate/ValidationReport.h"

#include <memory>
#include <optional>
#include <ostream>

namespace ffgltool
{
namespace
{

using namespace validate;

// The instance and frame checks, on a headless context of their own; without
// one they cannot run, and the validation is incomplete.
void RunInstanceChecks(Validation& validation)
{
	std::string error;
	std::unique_ptr<HeadlessGL> gl = HeadlessGL::Create(&error);
	if (!gl)
	{
		validation.report.AddNotRun(
			"gl-context", "instance and frame checks not run: no headless OpenGL 4.1 context: " + error);
		return;
	}
	FrameRig rig;
	if (!rig.Create(*gl))
	{
		validation.report.AddNotRun("gl-context", "instance and frame checks not run: no host framebuffer");
		return;
	}
	if (CheckInstantiate(validation, rig))
	{
		void* instance = validation.module.Instantiate(FrameRig::kViewport);
		if (instance != nullptr)
		{
			CheckInstanceDefaults(validation, instance);
			CheckDisplayTexts(validation, instance);
			CheckRoundTrips(validation, instance);
			CheckInstanceHostBuffers(validation, instance);
			CheckHostStateCalls(validation, rig, instance);
			CheckRefusedFrames(validation, rig, instance);
			CheckFrames(validation, rig, instance);
			rig.DeInstantiate(validation.module, instance);
		}
		CheckLifecycleLeaks(validation, rig);
	}
	rig.Release();
}

// The checks in their order; a failure that leaves nothing to check ends them.
void RunChecks(Validation& validation)
{
	if (!CheckIdentity(validation))
		return;
	CheckExtendedInfo(validation);
	if (!CheckInitialise(validation))
		return;
	CheckCapabilities(validation);
	if (!CheckParameterCount(validation))
		return;
	CheckParameterDefinitions(validation);
	CheckParameterElements(validation);
	CheckUnregisteredParameter(validation);
	RunInstanceChecks(validation);
	CheckDeinitialise(validation);
}

const char kValidateHelp[] =
	"usage: ffgl-host validate [--json] MODULE\n"
	"\n"
	"Loads the module as a host does and checks that it answers as FFGL 2.1 asks:\n"
	"its identity records; the parameter answers of every code agreeing with each\n"
	"other; set and get round trips with edge values; host buffers written within\n"
	"their size; instances created and deleted; frames with too few inputs refused;\n"
	"the GL state left at its defaults after every frame; no GL object or file\n"
	"descriptor left over after 100 instance cycles. Each check is one line\n"
	"\"PASS|WARN|FAIL  CHECK  DETAIL\", then a summary.\n"
	"\n"
	"  --json  the report as one JSON object: {\"module\", \"checks\": [{\"check\",\n"
	"          \"status\", \"detail\"}], \"summary\": {\"pass\", \"warn\", \"fail\"}, \"result\"}\n"
	"\n"
	"Exit status: 0 every check ran and none failed, 1 a check failed or the module\n"
	"cannot be loaded, 2 wrong usage, 3 the module crashed, 4 no check failed but\n"
	"the GL checks could not run (no GL context): the result is INCOMPLETE.\n";

} // namespace

int RunValidateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
	bool json = false;
	std::string path;
	CommandLine line("validate", kValidateHelp);
	line.Flag("--json", json);
	line.Positional("MODULE", path);
	if (const std::optional<int> status = line.Read(args, out, err))
		return *status;

	ValidationReport report(out, json);
	PluginModule module;
	std::string loadError;
	if (!module.Load(path, loadError))
	{
		report.Add("load", Status::Fail, loadError);
		report.Finish(path);
		return kExitModuleError;
	}
	report.Add("load", Status::Pass, "plugMain found");

	Validation validation{ module, report };
	try
	{
		RunChecks(validation);
	}
	catch (const PluginFault& fault)
	{
		report.Add("exception", Status::Fail, fault.what());
	}
	report.Finish(path);
	module.Unload();
	switch (report.GetResult())
	{
	case Result::Pass:
		return kExitSuccess;
	case Result::Incomplete:
		return kExitRunError;
	case Result::Fail:
		break;
	}
	return kExitModuleError;
}

} // namespace ffgltool
