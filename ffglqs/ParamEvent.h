// ParamEvent: a momentary parameter (type event). The value stays as the host
// set it; ParamTrigger is the kind that resets itself after each frame.
#pragma once

#include "ffglqs/Param.h"

namespace ffglqs
{
class ParamEvent : public Param
{
public:
	static std::shared_ptr<ParamEvent> Create(std::string name);

protected:
	explicit ParamEvent(std::string name);
};

} // namespace ffglqs
