// The Windows DLL as a Windows host sees it before any drawing: loaded with
// LoadLibrary and asked through plugMain, with the C++ runtime and the GL
// loader inside the DLL.
#include "tests/windows/WglFixture.h"
#include "tests/windows/WindowsPlugin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using FFGLMixed::FromUInt;

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

	tests::WindowsPlugin plugin;
};

TEST_F(PluginDllTest, IdentityAndParameterDefaults)
{
	const auto* info = static_cast<const char*>(plugin.Call(FF_GET_INFO).PointerValue);
	void* const* registration = static_cast<void* const*>(plugin.Symbol("g_CurrPluginInfo"));
	ASSERT_TRUE(info != nullptr && registration != nullptr);
	EXPECT_EQ(static_cast<const void*>(info), *registration);
	const std::uint32_t words[] = { 2, 1 }; // API version 2.1
	EXPECT_EQ(std::memcmp(info, words, sizeof(words)), 0);
	EXPECT_EQ(std::string(info + 8, 24), std::string("TNBXCamera Tenebrixo") + std::string(4, '\0'));
	const auto* extended = reinterpret_cast<const PluginExtendedInfoStructTag*>(info + 32);
	ASSERT_EQ(plugin.Call(FF_GET_EXTENDED_INFO).PointerValue, extended);
	EXPECT_EQ(extended->PluginMajorVersion * 10 + extended->PluginMinorVersion, 10u);
	EXPECT_STREQ(extended->Description, "Switches to the next layer clip when camera video stays black");
	EXPECT_STREQ(extended->About, "Camera Tenebrixor for Vidmora Aulora 7");

	// All eight bytes of each default: 0.14, 0.1, 0.1, 0 and 1/3 as floats.
	const std::uint64_t defaults[] = { 0x3E0F5C29u, 0x3DCCCCCDu, 0x3DCCCCCDu, 0u, 0x3EAAAA9Fu, FF_FAIL };
	for (std::uint32_t i = 0; i < 6; ++i)
		EXPECT_EQ(plugin.Call64(FF_GET_PARAMETER_DEFAULT, FromUInt(i)), defaults[i]) << i;
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
	EXPECT_EQ(plugin.Call64(FF_DEINSTANTIATE_GL, FromUInt(0), instance), FF_SUCCESS);
}
} // namespace
