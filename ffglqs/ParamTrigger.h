// ParamTrigger: an event parameter that fires for one frame. A value the host
// sets is seen by the next frame (its Update, uniforms and Render); after that
// frame the plug-in consumes it back to 0.
#pragma once

#include "ffglqs/ParamEvent.h"

namespace ffglqs
{
class ParamTrigger final : public ParamEvent
{
public:
	static std::shared_ptr<ParamTrigger> Create(std::string name);

	// Sets the value back to 0.0.
	void Consume();

private:
	explicit ParamTrigger(std::string name);
};

} // namespace ffglqs
