// ParamBool: an on/off parameter (type boolean). Its value is 1.0 or 0.0 as the
// host sends it; the shader receives it as a bool uniform that is true for any
// value other than 0.0.
#pragma once

#include "ffglqs/Param.h"

namespace ffglqs
{
class ParamBool final : public Param
{
public:
	static std::shared_ptr<ParamBool> Create(std::string name);
	static std::shared_ptr<ParamBool> Create(std::string name, bool value);

private:
	ParamBool(std::string name, bool value);
};

} // namespace ffglqs
