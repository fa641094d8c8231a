// ModuleFixture: a plug-in module loaded with dlopen and one instance of it,
// drawing into the float output of FloatOutputFixture.
#pragma once

#include "tests/ffglqs/FloatOutputFixture.h"
#include "tests/ffglqs/LoadedModule.h"

#include <chrono>
#include <memory>

class ModuleFixture : public FloatOutputFixture
{
protected:
	using Clock = std::chrono::steady_clock;

	// Loads the module and makes one instance of the output's size.
	void Start(const char* path)
	{
		module = std::make_unique<LoadedModule>(path);
		ASSERT_TRUE(module->IsLoaded()) << module->Error();
		beforeInstantiate = Clock::now();
		instance = module->Instantiate(kWidth, kHeight);
		afterInstantiate = Clock::now();
		ASSERT_NE(instance, nullptr);
	}

	void TearDown() override
	{
		if(module && instance != nullptr)
		{
			EXPECT_EQ(module->DeInstantiate(instance), FF_SUCCESS);
		}
		module.reset();
		FloatOutputFixture::TearDown();
	}

	void Set(std::uint32_t index, float value)
	{
		ASSERT_EQ(module->SetFloat(instance, index, value), FF_SUCCESS) << "parameter " << index;
	}

	std::unique_ptr<LoadedModule> module;
	void* instance = nullptr;
	Clock::time_point beforeInstantiate;
	Clock::time_point afterInstantiate;
};
