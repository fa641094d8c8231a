// ParamText: a text parameter (type text). Its text travels through the host's
// text set and get requests; its float value is not used.
#pragma once

#include "ffglqs/Param.h"

namespace ffglqs
{
class ParamText final : public Param
{
public:
	static std::shared_ptr<ParamText> create(std::string name);
	// The text is also the default the host is told, so a new instance starts
	// with it.
	static std::shared_ptr<ParamText> create(std::string name, std::string text);

	const std::string& GetText() const;
	void SetText(std::string newText);

private:
	ParamText(std::string name, std::string text);

	std::string text;
};

} // namespace ffglqs
