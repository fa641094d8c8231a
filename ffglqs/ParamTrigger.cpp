#include "ffglqs/ParamTrigger.h"

#include <utility>

namespace ffglqs
{
std::shared_ptr<ParamTrigger> ParamTrigger::Create(std::string name)
{
	return std::shared_ptr<ParamTrigger>(new ParamTrigger(std::move(name)));
}

ParamTrigger::ParamTrigger(std::string name) : ParamEvent(std::move(name))
{
}

void ParamTrigger::Consume()
{
	value = 0.0f;
}

} // namespace ffglqs
