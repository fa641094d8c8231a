#include "ffglqs/ParamBool.h"

#include "host/FFGLRecords.h"

#include <utility>

namespace ffglqs
{
std::shared_ptr<ParamBool> ParamBool::Create(std::string name)
{
	return Create(std::move(name), false);
}

std::shared_ptr<ParamBool> ParamBool::Create(std::string name, bool value)
{
	return std::shared_ptr<ParamBool>(new ParamBool(std::move(name), value));
}

ParamBool::ParamBool(std::string name, bool value) : Param(std::move(name), FF_TYPE_BOOLEAN, value ? 1.0f : 0.0f)
{
}

} // namespace ffglqs
