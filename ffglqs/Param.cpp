#include "ffglqs/Param.h"

#include "host/FFGLRecords.h"

#include <utility>

namespace ffglqs
{
std::shared_ptr<Param> Param::Create()
{
	return Create(std::string(), FF_TYPE_STANDARD, 0.0f);
}

std::shared_ptr<Param> Param::Create(std::string name)
{
	return Create(std::move(name), FF_TYPE_STANDARD, 0.0f);
}

std::shared_ptr<Param> Param::Create(std::string name, float value)
{
	return Create(std::move(name), FF_TYPE_STANDARD, value);
}

std::shared_ptr<Param> Param::Create(std::string name, unsigned int type, float value)
{
	return std::shared_ptr<Param>(new Param(std::move(name), type, value));
}

Param::Param(std::string name, unsigned int type, float value) : value(value), name(std::move(name)), type(type)
{
}

void Param::SetValue(float newValue)
{
	value = newValue;
}

float Param::GetValue() const
{
	return value;
}

const std::string& Param::GetName() const
{
	return name;
}

unsigned int Param::GetType() const
{
	return type;
}

} // namespace ffglqs
