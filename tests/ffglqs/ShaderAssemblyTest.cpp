// Shader assembly: what differs between the kinds' texts, the uniform
// declarations of every parameter kind and colour group, and the snippets in
// id order, each once. That the fixed texts compile and draw is shown by the
// GL tests.
#include "tests/ffglqs/QuickStartProbes.h"

#include "ffglqs/ParamBool.h"
#include "ffglqs/ParamEvent.h"
#include "ffglqs/ParamTrigger.h"
#include "ffglqs/ShaderSnippets.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
using ffglqs::shader::snippet_id;

const std::string kBody = "void main() { fragColor = vec4(1.0); }\n";

const std::string& Snippet(snippet_id id)
{
	return ffglqs::shader::snippets.at(id);
}

bool Has(const std::string& text, const char* part)
{
	return text.find(part) != std::string::npos;
}

// Each kind's header declares its own inputs and only those; its vertex
// shader scales the coordinates by its own maxUV uniforms; the inputs a host
// is told match.
TEST(ShaderAssemblyTest, KindsDifferInTheirInputs)
{
	EffectProbe effect;
	SourceProbe source;
	MixerProbe mixer;
	const std::string effectHeader = effect.CreateFragmentShader(""), sourceHeader = source.CreateFragmentShader(""),
					  mixerHeader = mixer.CreateFragmentShader("");
	EXPECT_EQ(effect.CreateFragmentShader(kBody), effectHeader + kBody);
	EXPECT_EQ(sourceHeader.rfind("\n\t\t#version 410 core\n\t\tout vec4 fragColor;\n", 0), 0u) << sourceHeader;
	EXPECT_TRUE(Has(effectHeader, "\t\tuniform sampler2D inputTexture;\n") && Has(effectHeader, "in vec2 i_uv;"));
	EXPECT_TRUE(Has(sourceHeader, "in vec2 i_uv;") && !Has(sourceHeader, "sampler2D"));
	EXPECT_TRUE(Has(mixerHeader, "uniform sampler2D textureDest;\n\t\tuniform sampler2D textureSrc;"));
	EXPECT_TRUE(Has(mixerHeader, "uniform float mixVal;\n"));
	EXPECT_TRUE(Has(effect.vertexShaderCode, "i_uv = vUV * maxUV;"));
	EXPECT_TRUE(Has(source.vertexShaderCode, "i_uv = vUV;"));
	EXPECT_TRUE(Has(mixer.vertexShaderCode, "i_uv_dest = vUV * maxUVDest;\n\t\t\ti_uv_src = vUV * maxUVSrc;"));
	EXPECT_EQ(mixer.vertexShaderCode.rfind("#version 410 core\n", 0), 0u);
	EXPECT_EQ(effect.GetMaxInputs() * 100 + source.GetMaxInputs() * 10 + mixer.GetMaxInputs(), 102u);
	EXPECT_EQ(effect.GetMinInputs() * 100 + source.GetMinInputs() * 10 + mixer.GetMinInputs(), 102u);
}

TEST(ShaderAssemblyTest, DeclarationsPerParameterAndColourGroup)
{
	SourceProbe source;
	source.AddRGBColorParam("tint");
	source.AddParam(ffglqs::Param::Create("amount"));
	// A red and a green without a blue after them form no group.
	source.AddParam(ffglqs::Param::Create("lonelyRed", FF_TYPE_RED, 0.5f));
	source.AddParam(ffglqs::Param::Create("lonelyGreen", FF_TYPE_GREEN, 0.5f));
	source.AddHueColorParam("glow");
	source.AddParam(ffglqs::ParamBool::Create("enabled"));
	source.AddParam(ffglqs::ParamEvent::Create("hit"));
	source.AddParam(ffglqs::ParamTrigger::Create("fire"));
	source.AddParam(ffglqs::ParamFFT::Create("spectrum", 16));
	source.AddParam(ffglqs::ParamOption::Create("mode", { { "a", 0.0f }, { "b", 1.0f } }));
	source.AddParam(ffglqs::ParamRange::CreateInteger("count", 2, { 0.0f, 8.0f }));
	source.AddParam(ffglqs::ParamText::create("label", "x"));
	source.Include(snippet_id::map);
	const std::string declarations =
		"uniform vec3 tint;\nuniform float amount;\nuniform float lonelyRed;\n"
		"uniform float lonelyGreen;\nuniform vec4 glow;\nuniform bool enabled;\n"
		"uniform bool hit;\nuniform bool fire;\nuniform float mode;\nuniform float count;\n"
		"uniform float label;\n";
	EXPECT_EQ(source.CreateFragmentShader(kBody),
		SourceProbe().CreateFragmentShader("") + declarations + Snippet(snippet_id::map) + kBody);
}

TEST(ShaderAssemblyTest, IncludedSnippetsFollowInIdOrderEachOnce)
{
	SourceProbe source;
	source.Include(snippet_id::simplex_noise);
	source.Include({ snippet_id::map, snippet_id::random, snippet_id::simplex_noise });
	EXPECT_EQ(source.CreateFragmentShader(kBody),
		SourceProbe().CreateFragmentShader("") + Snippet(snippet_id::random) + Snippet(snippet_id::map) +
			Snippet(snippet_id::simplex_noise) + kBody);
}

} // namespace
