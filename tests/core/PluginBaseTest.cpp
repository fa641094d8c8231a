// The instance base: its default operations, the state the host pushes in,
// and the shared 16-byte display field.
#include "core/FFGLPlugin.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace
{
// Answers a fixed float for every parameter.
class Fixed : public CFFGLPlugin
{
public:
	Fixed() : CFFGLPlugin(false) { selfPlugin = this; }
	float GetFloatParameter(unsigned int) override { return value; }
	float value = 0.0f;
};

const char* const kFail = reinterpret_cast<const char*>(static_cast<std::uintptr_t>(FF_FAIL));

TEST(PluginBaseTest, DefaultOperations)
{
	CFFGLPlugin plugin(true);
	EXPECT_EQ(plugin.SetFloatParameter(0, 1.0f) & plugin.SetTextParameter(0, "x"), FF_FAIL);
	EXPECT_EQ(plugin.GetTextParameter(0), kFail);
	ProcessOpenGLStructTag frame{ 0, nullptr, 0 };
	EXPECT_EQ(plugin.ProcessOpenGL(&frame), FF_FAIL);

	FFGLViewportStructTag viewport{ 5, 6, 7, 8 };
	EXPECT_EQ(plugin.Resize(&viewport), FF_SUCCESS);
	EXPECT_EQ(plugin.InitGL(nullptr) & plugin.Resize(nullptr), FF_FAIL);
	EXPECT_EQ(plugin.currentViewport.x * 10 + plugin.currentViewport.height, 58u);

	plugin.SetHostInfo("Host", "1.2");
	EXPECT_EQ(plugin.hostName + " " + plugin.hostVersion, "Host 1.2");
	plugin.SetHostInfo(nullptr, nullptr);
	EXPECT_EQ(plugin.hostName + plugin.hostVersion, "");

	// Input status follows the maximum number of inputs.
	EXPECT_EQ(plugin.GetInputStatus(0), FF_FAIL);
	plugin.SetMaxInputs(1);
	EXPECT_EQ(plugin.GetInputStatus(0), 1u);
	EXPECT_EQ(plugin.GetInputStatus(1), FF_FAIL);
}

TEST(PluginBaseTest, DisplayIsASixteenByteFieldOfSixDecimals)
{
	const struct
	{
		float value;
		std::string field; // all 16 bytes
	} cases[] = {
		{ 123456792.0f, "123456792.000000" },                     // 16 characters, no terminator
		{ 0.5f, std::string("0.500000") + std::string(8, '\0') }, // nothing left of the longer text
		{ 3.0e38f, "3000000005497755" },                          // cut after 16, never an exponent
	};
	Fixed plugin;
	plugin.SetParamInfo(0, "p", FF_TYPE_INTEGER, 0.0f);
	for (const auto& c : cases)
	{
		plugin.value = c.value;
		const char* display = plugin.GetParameterDisplay(0);
		ASSERT_NE(display, nullptr);
		EXPECT_EQ(std::string(display, 16), c.field) << c.value;
	}

	// Unknown and text parameters; the type and value come from the self
	// plugin, and without one the object answers for itself.
	plugin.SetParamInfo(1, "text", FF_TYPE_TEXT, "t");
	plugin.SetFileParamInfo(2, "file", {}, "f");
	EXPECT_EQ(plugin.GetParameterDisplay(3), nullptr);
	EXPECT_EQ(plugin.GetParameterDisplay(1), kFail);
	EXPECT_EQ(plugin.GetParameterDisplay(2), kFail);
	Fixed answering;
	answering.value = 2.0f;
	answering.SetParamInfo(3, "p", FF_TYPE_STANDARD, 0.0f);
	plugin.selfPlugin = &answering;
	EXPECT_STREQ(plugin.GetParameterDisplay(3), "2.000000");
	plugin.selfPlugin = nullptr;
	EXPECT_EQ(plugin.GetParameterDisplay(3), nullptr);
}
} // namespace
