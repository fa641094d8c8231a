#include "ffglqs/ParamEvent.h"

#include "host/FFGLRecords.h"

#include <utility>

namespace ffglqs
{
std::shared_ptr<ParamEvent> ParamEvent::Create(std::string name)
{
	return std::shared_ptr<ParamEvent>(new ParamEvent(std::move(name)));
}

ParamEvent::ParamEvent(std::string name) : Param(std::move(name), FF_TYPE_EVENT, 0.0f)
{
}

} // namespace ffglqs
