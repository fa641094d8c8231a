// Param: the root of the quick-start parameter classes.
//
// A parameter is a small typed object that a quick-start plug-in hands to
// Plugin::AddParam. From then on the framework registers it with the host under
// its position in the plug-in's list, routes the host's set and get requests to
// it, and uploads its value every frame to the shader uniform of the same name.
//
// Parameters are created only through the factories, as shared handles; each
// handle destroys its object as the class it was created as, which is why the
// root needs no virtual destructor.
#pragma once

#include <memory>
#include <string>

namespace ffglqs
{
class Param
{
public:
	// A standard 0..1 parameter (type 10) with value 0 and an empty name.
	static std::shared_ptr<Param> Create();
	static std::shared_ptr<Param> Create(std::string name);
	static std::shared_ptr<Param> Create(std::string name, float value);
	// A parameter of any float-valued type code, e.g. one colour component.
	static std::shared_ptr<Param> Create(std::string name, unsigned int type, float value);

	// The value as the host last set it, with no mapping (ranges hold values in
	// their own units).
	virtual void SetValue(float value);
	virtual float GetValue() const;

	// The name is also the uniform name in the generated shader.
	const std::string& GetName() const;
	unsigned int GetType() const;

protected:
	Param(std::string name, unsigned int type, float value);

	float value;
	std::string name;
	unsigned int type;
};

} // namespace ffglqs
