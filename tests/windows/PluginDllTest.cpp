// The Windows DLL as a Windows host sees it before any drawing: loaded with
// LoadLibrary and asked through plugMain, with the C++ runtime and the GL
// loader inside the DLL.
#include "tests/windows/WglFixture.h"
#include "tests/windows/WindowsPlugin.h"

#include <gtest/gtest.h>

#include <string>

using tests::WindowsPlugin;

namespace
{
class PluginDllTest : public tests::WglFixture
{
protected:
	void SetUp() override
	{
		std::string error;
		ASSERT_TRUE(plugin.Load("CameraTenebrixor.dll", error)) << error;
	}

	WindowsPlugin plugin;
};

TEST_F(PluginDllTest, IdentityAndParameterDefinitions)
{
	const auto* info = static_cast<const unsigned char*>(plugin.Call(FF_GET_INFO).PointerValue);
	ASSERT_NE(info, nullptr);
	void* const* registration = static_cast<void* const*>(plugin.Symbol("g_CurrPluginInfo"));
	ASSERT_NE(registration, nullptr);
	EXPECT_EQ(static_cast<const void*>(info), *registration);
	const auto* record = reinterpret_cast<const PluginInfoStructTag*>(info);
	EXPECT_EQ(record->APIMajorVersion, 2u);
	EXPECT_EQ(record->APIMinorVersion, 1u);
	EXPECT_EQ(std::string(reinterpret_cast<const char*>(record->PluginUniqueID), 4), "TNBX");
	EXPECT_EQ(std::string(reinterpret_cast<const char*>(record->PluginName), 16), "Camera Tenebrixo");
	EXPECT_EQ(record->PluginType, FF_EFFECT);

	const auto* extended =
		static_cast<const PluginExtendedInfoStructTag*>(plugin.Call(FF_GET_EXTENDED_INFO).PointerValue);
	ASSERT_NE(extended, nullptr);
	EXPECT_EQ(extended->PluginMajorVersion, 1u);
	EXPECT_EQ(extended->PluginMinorVersion, 0u);
	EXPECT_STREQ(extended->Description, "Switches to the next layer clip when camera video stays black");
	EXPECT_STREQ(extended->About, "Camera Tenebrixor for Vidmora Aulora 7");

	const char* const names[] = { "Black Threshold", "Black Hold", "Recovery", "Layer", "OSC Port" };
	const std::uint64_t defaults[] = { 0x3E0F5C29u, 0x3DCCCCCDu, 0x3DCCCCCDu, 0u, 0x3EAAAA9Fu };
	EXPECT_EQ(plugin.Call64(FF_GET_NUM_PARAMETERS), 5u);
	for (std::uint32_t i = 0; i < 5; ++i)
	{
		SCOPED_TRACE(names[i]);
		EXPECT_STREQ(plugin.CallText(FF_GET_PARAMETER_NAME, WindowsPlugin::Number(i)), names[i]);
		EXPECT_EQ(plugin.Call64(FF_GET_PARAMETER_DEFAULT, WindowsPlugin::Number(i)), defaults[i]);
		EXPECT_EQ(plugin.Call64(FF_GET_PARAMETER_TYPE, WindowsPlugin::Number(i)), FF_TYPE_STANDARD);
		GetRangeStructTag range{ i, -7.0f, -7.0f };
		EXPECT_EQ(plugin.Call64(FF_GET_RANGE, WindowsPlugin::Pointer(&range)), FF_SUCCESS);
		EXPECT_EQ(range.min, 0.0f);
		EXPECT_EQ(range.max, 1.0f);
	}
	EXPECT_EQ(plugin.Call64(FF_GET_PARAMETER_NAME, WindowsPlugin::Number(5)), 0u);
	EXPECT_EQ(plugin.Call64(FF_DEINITIALISE), FF_SUCCESS);
}

// Without a current context the GL functions cannot be resolved: the
// instance is refused, and the next request, with a context current, succeeds.
// Needs a process of its own: once resolved, the functions stay resolved.
TEST_F(PluginDllTest, InstantiateWithoutAContextFailsUntilOneIsCurrent)
{
	const FFGLViewportStructTag viewport = { 0, 0, 64, 32 };
	EXPECT_EQ(plugin.Instantiate(viewport), nullptr);

	StartContext();
	if (IsSkipped() || HasFatalFailure())
		return;
	void* instance = plugin.Instantiate(viewport);
	ASSERT_NE(instance, nullptr);
	EXPECT_EQ(plugin.Call64(FF_DEINSTANTIATE_GL, WindowsPlugin::Number(0), instance), FF_SUCCESS);
}
} // namespace
