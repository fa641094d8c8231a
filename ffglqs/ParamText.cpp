#include "ffglqs/ParamText.h"

#include "host/FFGLRecords.h"

#include <utility>

namespace ffglqs
{
std::shared_ptr<ParamText> ParamText::create(std::string name)
{
	return create(std::move(name), std::string());
}

std::shared_ptr<ParamText> ParamText::create(std::string name, std::string text)
{
	return std::shared_ptr<ParamText>(new ParamText(std::move(name), std::move(text)));
}

ParamText::ParamText(std::string name, std::string text) :
	Param(std::move(name), FF_TYPE_TEXT, 0.0f),
	text(std::move(text))
{
}

const std::string& ParamText::GetText() const
{
	return text;
}

void ParamText::SetText(std::string newText)
{
	text = std::move(newText);
}

} // namespace ffglqs
